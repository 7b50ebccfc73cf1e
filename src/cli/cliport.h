#pragma once

#include <memory>

#include "framelog.h"
#include "serialport.h"

// Frames handed to the port: every attempt, the new ones (blocks) and their data bytes; a
// frame equal to the one before it is the link's retry.
struct WireCount {
    int attempts = 0;
    int blocks = 0;
    int bytes = 0;
};

// The real port as the command line uses it: opens a given device path instead of Com N when
// one was named, counts the frames and logs them when asked.
class CliPort : public SerialPort {
    Q_OBJECT
public:
    CliPort(std::unique_ptr<SerialPort> inner, QString devicePath, std::unique_ptr<FrameLog> log);

    bool Open(const QString& deviceName) override;
    void Close() override;
    bool IsOpen() const override { return m_inner->IsOpen(); }
    void DiscardInput() override;
    bool Write(const QByteArray& bytes) override;
    QByteArray TakeInput() override;

    WireCount Count() const { return m_count; }
    // The device the last Open tried.
    QString OpenedName() const { return m_openedName; }

private:
    std::unique_ptr<SerialPort> m_inner;
    QString m_devicePath;
    std::unique_ptr<FrameLog> m_log;  // none: no log
    WireCount m_count;
    QByteArray m_lastFrame;
    QString m_openedName;
};
