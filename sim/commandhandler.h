#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

class DeviceMemory;

// What the firmware does with one request: its reply (if any), how long it stalls writing, and
// the line printed for the user.
struct HandledRequest {
    QString text;
    QByteArray reply;   // unescaped reply payload; empty: no reply
    int dataStart = 0;  // where the data of a data reply begin; 0 for an acknowledgement
    std::chrono::nanoseconds writeTime{0};
};

struct WriteTimes {
    std::chrono::nanoseconds flashBlock{0};  // 64 bytes
    std::chrono::nanoseconds eepromByte{0};
};

// The firmware's command interpreter over the device memory.
class CommandHandler {
public:
    CommandHandler(DeviceMemory& memory, quint8 major, quint8 minor, WriteTimes times)
        : m_memory(memory), m_major(major), m_minor(minor), m_times(times) {}

    HandledRequest Handle(const QByteArray& payload);

private:
    struct Request {
        quint8 code;
        int count;
        int address;
        QByteArray header;  // echoed in data replies
        QByteArray data;
    };

    HandledRequest Version(const QByteArray& payload) const;
    HandledRequest ReadProgram(const Request& request) const;
    HandledRequest WriteProgram(const Request& request);
    HandledRequest Erase(const Request& request);
    HandledRequest ReadEeprom(const Request& request) const;
    HandledRequest WriteEeprom(const Request& request);
    HandledRequest WriteConfig(const Request& request);
    QString FlashRangeError(int address, int words) const;
    HandledRequest Refused(const Request& request, const QString& what, const QString& why) const;
    std::chrono::nanoseconds FlashTime(int bytes) const { return m_times.flashBlock * bytes / 64; }

    DeviceMemory& m_memory;
    quint8 m_major;
    quint8 m_minor;
    WriteTimes m_times;
};
