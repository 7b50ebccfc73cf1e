#pragma once

#include <vector>

#include "waits.h"

class QEventLoop;

// Waits that keep the window alive: each runs the event loop until a monotonic deadline and
// uses no CPU meanwhile.
class EventLoopWaits : public Waits {
public:
    bool Delay(float sngSeconds) override;
    bool WaitUntil(const QDeadlineTimer& deadline) override;
    bool Yield() override;
    void Wake() override;
    void Stop() override;
    void Resume() override { m_stopped = false; }
    bool Stopped() const override { return m_stopped; }

private:
    bool m_stopped = false;
    std::vector<QEventLoop*> m_loops;  // nested waits, innermost last
};
