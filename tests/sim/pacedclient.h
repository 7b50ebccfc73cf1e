#pragma once

#include <QByteArray>
#include <chrono>

class SimSession;

// Sends frames the way the program's link does (discard, send, wait the full interval, send
// again only when nothing came), with the deadline counted one of two ways.
class PacedClient {
public:
    enum class Deadline {
        FromHandOver,   // hand-over + interval
        AfterLineTime,  // hand-over + the frame's time on the line + interval
    };

    PacedClient(SimSession& session, Deadline rule, std::chrono::milliseconds interval, int retries)
        : m_session(session), m_rule(rule), m_interval(interval), m_retries(retries) {}

    // The attempt (from 1) whose wait saw a reply, or 0 when none did.
    int Send(const QByteArray& frame);

private:
    SimSession& m_session;
    Deadline m_rule;
    std::chrono::milliseconds m_interval;
    int m_retries;
};
