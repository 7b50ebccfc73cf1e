#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>

// The serial line and the device's UART. Bytes from the host take one byte time each on the
// line and queue behind each other; replies leave at the same pace. While the firmware stalls
// (writing flash or EEPROM) the UART keeps the first two bytes that arrive and loses the rest.
class LineModel : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    LineModel(std::chrono::nanoseconds byteTime, QObject* parent = nullptr);

    // Bytes the host has just written.
    void Receive(const QByteArray& bytes);
    // Queues a reply; its first byte goes on the line no earlier than the given time.
    void Transmit(const QByteArray& bytes, Clock::time_point earliest);
    // The firmware does not read its UART until then.
    void Stall(Clock::time_point until) { m_stalledUntil = until; }
    // When the last queued reply byte will have reached the host.
    Clock::time_point TransmitEnd() const { return m_txFree; }

signals:
    // A byte read by the firmware, with the time it did so.
    void ByteRead(quint8 byte, LineModel::Clock::time_point at);
    // Bytes were lost while the firmware stalled.
    void Overrun();
    // Reply bytes that have now reached the host.
    void Sent(const QByteArray& bytes);

private:
    struct Timed {
        quint8 byte;
        Clock::time_point at;
    };

    void Deliver();
    void ReleaseUart();
    void SendDue();
    static void Arm(QTimer& timer, Clock::time_point at);

    std::chrono::nanoseconds m_byteTime;
    Clock::time_point m_rxFree{};
    Clock::time_point m_txFree{};
    Clock::time_point m_stalledUntil{};
    std::deque<Timed> m_incoming;
    std::deque<Timed> m_outgoing;
    QByteArray m_uart;  // bytes held while stalled
    bool m_lost = false;
    QTimer m_rxTimer;
    QTimer m_txTimer;
};
