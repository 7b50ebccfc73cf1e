#pragma once

#include <QSerialPort>

#include "serialport.h"

// SerialPort over QSerialPort.
class QSerialPortAdapter : public SerialPort {
    Q_OBJECT
public:
    explicit QSerialPortAdapter(QObject* parent = nullptr);

    bool Open(const QString& deviceName) override;
    void Close() override;
    bool IsOpen() const override;
    void DiscardInput() override;
    bool Write(const QByteArray& bytes) override;
    QByteArray TakeInput() override;

private:
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_closing = false;
};
