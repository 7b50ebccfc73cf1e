#include "qserialportadapter.h"

QSerialPortAdapter::QSerialPortAdapter(QObject* parent) : SerialPort(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::DataReceived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QSerialPortAdapter::OnError);
}

bool QSerialPortAdapter::Open(const QString& deviceName) {
    m_port.setPortName(deviceName);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    return m_port.open(QIODevice::ReadWrite);
}

void QSerialPortAdapter::Close() {
    if (!m_port.isOpen()) return;
    // Closing a dead device raises errors of its own; they must not close it again.
    m_closing = true;
    m_port.close();
    m_closing = false;
}

bool QSerialPortAdapter::IsOpen() const {
    return m_port.isOpen();
}

void QSerialPortAdapter::DiscardInput() {
    if (!m_port.isOpen()) return;
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
}

bool QSerialPortAdapter::Write(const QByteArray& bytes) {
    return m_port.isOpen() && m_port.write(bytes) == bytes.size();
}

QByteArray QSerialPortAdapter::TakeInput() {
    return m_port.readAll();
}

// A vanished device makes QSerialPort repeat its error in a tight loop, with a stale
// errorString(), until the port is closed; so any error on an open port ends it here.
void QSerialPortAdapter::OnError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || m_closing ||
        !m_port.isOpen()) {
        return;
    }
    Close();
    emit Gone();
}
