#include "linemodel.h"

namespace {
constexpr int kUartDepth = 2;
}

LineModel::LineModel(std::chrono::nanoseconds byteTime, QObject* parent)
    : QObject(parent), m_byteTime(byteTime) {
    for (QTimer* timer : {&m_rxTimer, &m_txTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_rxTimer, &QTimer::timeout, this, &LineModel::Deliver);
    connect(&m_txTimer, &QTimer::timeout, this, &LineModel::SendDue);
}

void LineModel::Receive(const QByteArray& bytes) {
    const Clock::time_point now = Clock::now();
    for (const char byte : bytes) {
        m_rxFree = std::max(now, m_rxFree) + m_byteTime;
        m_incoming.push_back({quint8(byte), m_rxFree});
    }
    Deliver();
}

void LineModel::Transmit(const QByteArray& bytes, Clock::time_point earliest) {
    m_txFree = std::max(earliest, m_txFree);
    for (const char byte : bytes) {
        m_txFree += m_byteTime;
        m_outgoing.push_back({quint8(byte), m_txFree});
    }
    SendDue();
}

void LineModel::Deliver() {
    const Clock::time_point now = Clock::now();
    while (!m_incoming.empty() && m_incoming.front().at <= now) {
        const Timed next = m_incoming.front();
        m_incoming.pop_front();
        if (next.at < m_stalledUntil) {
            if (m_uart.size() < kUartDepth)
                m_uart.append(char(next.byte));
            else
                m_lost = true;
            continue;
        }
        ReleaseUart();
        emit ByteRead(next.byte, next.at);
    }
    if (m_stalledUntil <= now) ReleaseUart();
    const bool holding = !m_uart.isEmpty() || m_lost;
    if (holding && (m_incoming.empty() || m_stalledUntil < m_incoming.front().at))
        Arm(m_rxTimer, m_stalledUntil);
    else if (!m_incoming.empty())
        Arm(m_rxTimer, m_incoming.front().at);
}

// The firmware, back from its write, reads what the UART kept and then sees the overrun.
void LineModel::ReleaseUart() {
    const QByteArray kept = std::exchange(m_uart, {});
    for (const char byte : kept) emit ByteRead(quint8(byte), m_stalledUntil);
    if (std::exchange(m_lost, false)) emit Overrun();
}

void LineModel::SendDue() {
    const Clock::time_point now = Clock::now();
    QByteArray due;
    while (!m_outgoing.empty() && m_outgoing.front().at <= now) {
        due.append(char(m_outgoing.front().byte));
        m_outgoing.pop_front();
    }
    if (!due.isEmpty()) emit Sent(due);
    if (!m_outgoing.empty()) Arm(m_txTimer, m_outgoing.front().at);
}

void LineModel::Arm(QTimer& timer, Clock::time_point at) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(at - Clock::now());
    timer.start(std::max(wait, std::chrono::milliseconds(0)));
}
