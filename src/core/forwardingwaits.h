#pragma once

#include "waits.h"

// Passes every wait on to another; a subclass changes only the waits it must.
class ForwardingWaits : public Waits {
public:
    explicit ForwardingWaits(Waits& inner) : m_inner(inner) {}

    bool Delay(float sngSeconds) override { return m_inner.Delay(sngSeconds); }
    bool WaitUntil(const QDeadlineTimer& deadline) override { return m_inner.WaitUntil(deadline); }
    bool Yield() override { return m_inner.Yield(); }
    void Wake() override { m_inner.Wake(); }
    void Stop() override { m_inner.Stop(); }
    void Resume() override { m_inner.Resume(); }
    bool Stopped() const override { return m_inner.Stopped(); }

private:
    Waits& m_inner;
};
