#pragma once

#include <QTimer>

#include "fiber.h"
#include "waits.h"

// The waits of a body that runs in a fiber: each hands the thread back to the event loop until
// its deadline (or a Wake) and uses no CPU meanwhile, while the other fibers' waits go on.
class FiberWaits : public Waits {
public:
    explicit FiberWaits(Fiber& fiber);

    bool Delay(float sngSeconds) override;
    bool WaitUntil(const QDeadlineTimer& deadline) override;
    bool Yield() override;
    void Wake() override;
    void Stop() override;
    void Resume() override { m_stopped = false; }
    bool Stopped() const override { return m_stopped; }

private:
    void Sleep(qint64 ms);

    Fiber& m_fiber;
    QTimer m_timer;  // its timeout resumes the fiber
    bool m_stopped = false;
};
