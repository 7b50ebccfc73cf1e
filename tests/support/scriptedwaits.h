#pragma once

#include <QCoreApplication>

#include "trace.h"
#include "waits.h"

// Waits that cost no time. Traces "delay 0.5" for each timed delay; the link's reply waits and
// the yields only let pending events run once (yields are counted).
class ScriptedWaits : public Waits {
public:
    explicit ScriptedWaits(Trace& trace) : m_trace(trace) {}

    bool Delay(float sngSeconds) override {
        m_trace.Add(QStringLiteral("delay %1").arg(double(sngSeconds)));
        return !m_stopped;
    }
    bool WaitUntil(const QDeadlineTimer& until) override {
        deadline = until;
        if (onReplyWait) onReplyWait();
        QCoreApplication::processEvents();
        return !m_stopped;
    }
    bool Yield() override {
        ++yields;
        QCoreApplication::processEvents();
        return !m_stopped;
    }
    void Wake() override {}
    void Stop() override { m_stopped = true; }
    void Resume() override { m_stopped = false; }
    bool Stopped() const override { return m_stopped; }

    int yields = 0;
    QDeadlineTimer deadline;            // of the last reply wait
    std::function<void()> onReplyWait;  // runs as the link starts waiting for a reply

private:
    Trace& m_trace;
    bool m_stopped = false;
};
