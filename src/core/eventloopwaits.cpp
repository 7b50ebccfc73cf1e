#include "eventloopwaits.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

bool EventLoopWaits::WaitUntil(const QDeadlineTimer& deadline) {
    if (m_stopped) return false;
    if (deadline.hasExpired()) return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_loops.push_back(&loop);
    // The timer counts whole milliseconds: round up, so that what is left is never a spin of
    // zero-length timers; and wait again should it fire early.
    while (!m_stopped && !deadline.hasExpired()) {
        const qint64 ns = std::max<qint64>(deadline.remainingTimeNSecs(), 0);
        timer.start(std::chrono::milliseconds((ns + 999'999) / 1'000'000));
        loop.exec();
    }
    m_loops.erase(std::find(m_loops.begin(), m_loops.end(), &loop));
    return !m_stopped;
}

bool EventLoopWaits::Delay(float sngSeconds) {
    return WaitUntil(DelayDeadline(sngSeconds));
}

bool EventLoopWaits::Yield() {
    QCoreApplication::processEvents();
    return !m_stopped;
}

void EventLoopWaits::Wake() {
    for (QEventLoop* loop : m_loops) loop->quit();
}

void EventLoopWaits::Stop() {
    m_stopped = true;
    Wake();
}
