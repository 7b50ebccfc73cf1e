#pragma once

#include "waits.h"

// The window's timed delays pace a person reading the status bar; on the command line they
// end at once. Every other wait is the real one.
class QuickWaits : public Waits {
public:
    explicit QuickWaits(Waits& inner) : m_inner(inner) {}

    bool Delay(float) override { return !m_inner.Stopped(); }
    bool WaitUntil(const QDeadlineTimer& deadline) override { return m_inner.WaitUntil(deadline); }
    bool Yield() override { return m_inner.Yield(); }
    void Wake() override { m_inner.Wake(); }
    void Stop() override { m_inner.Stop(); }
    void Resume() override { m_inner.Resume(); }
    bool Stopped() const override { return m_inner.Stopped(); }

private:
    Waits& m_inner;
};
