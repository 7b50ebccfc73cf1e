#include "qserialportadapter.h"

QSerialPortAdapter::QSerialPortAdapter(QObject* parent) : SerialPort(parent) {}
bool QSerialPortAdapter::Open(const QString&) {
    return false;
}
void QSerialPortAdapter::Close() {}
bool QSerialPortAdapter::IsOpen() const {
    return false;
}
void QSerialPortAdapter::DiscardInput() {}
bool QSerialPortAdapter::Write(const QByteArray&) {
    return false;
}
QByteArray QSerialPortAdapter::TakeInput() {
    return {};
}
