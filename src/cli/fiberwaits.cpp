#include "fiberwaits.h"

FiberWaits::FiberWaits(Fiber& fiber) : m_fiber(fiber) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { m_fiber.Resume(); });
}

bool FiberWaits::WaitUntil(const QDeadlineTimer& deadline) {
    // Whole milliseconds, rounded up, so that what is left is never a spin of zero-length
    // timers; and again should the timer fire early or a Wake come first.
    while (!m_stopped && !deadline.hasExpired())
        Sleep((std::max<qint64>(deadline.remainingTimeNSecs(), 0) + 999'999) / 1'000'000);
    return !m_stopped;
}

bool FiberWaits::Delay(float sngSeconds) {
    return WaitUntil(DelayDeadline(sngSeconds));
}

bool FiberWaits::Yield() {
    if (!m_stopped) Sleep(0);
    return !m_stopped;
}

void FiberWaits::Wake() {
    if (m_timer.isActive()) m_timer.start(0);
}

void FiberWaits::Stop() {
    m_stopped = true;
    Wake();
}

void FiberWaits::Sleep(qint64 ms) {
    m_timer.start(std::chrono::milliseconds(ms));
    m_fiber.Suspend();
    m_timer.stop();
}
