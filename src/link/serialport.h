#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial port as the link needs it; QSerialPortAdapter is the real one.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the named device at 9600 baud, 8 data bits, no parity, 1 stop bit.
    virtual bool Open(const QString& deviceName) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void DiscardInput() = 0;
    // Hands the bytes to the port; false when the port cannot take them (it has gone away).
    virtual bool Write(const QByteArray& bytes) = 0;
    // Takes every byte waiting in the input buffer.
    virtual QByteArray TakeInput() = 0;

signals:
    // Raised on the GUI thread as soon as at least one byte waits.
    void DataReceived();
    // The device went away underneath (adapter pulled out); the port is already closed.
    void Gone();
};
