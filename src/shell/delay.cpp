#include "delay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace modGeneral {
namespace {

bool g_stopped = false;
std::vector<QEventLoop*> g_loops;  // nested waits, innermost last

}  // namespace

bool WaitUntil(const QDeadlineTimer& deadline) {
    if (g_stopped) return false;
    if (deadline.hasExpired()) return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    g_loops.push_back(&loop);
    // The timer counts whole milliseconds: round up, so that what is left is never a spin of
    // zero-length timers; and wait again should it fire early.
    while (!g_stopped && !deadline.hasExpired()) {
        const qint64 ns = std::max<qint64>(deadline.remainingTimeNSecs(), 0);
        timer.start(std::chrono::milliseconds((ns + 999'999) / 1'000'000));
        loop.exec();
    }
    g_loops.erase(std::find(g_loops.begin(), g_loops.end(), &loop));
    return !g_stopped;
}

bool Delay(float sngSeconds) {
    const qint64 ns = static_cast<qint64>(static_cast<double>(sngSeconds) * 1e9);
    return WaitUntil(
        QDeadlineTimer(std::chrono::nanoseconds(std::max<qint64>(ns, 0)), Qt::PreciseTimer));
}

void WakeWaits() {
    for (QEventLoop* loop : g_loops) loop->quit();
}

void DoEvents() {
    QCoreApplication::processEvents();
}

void StopWaiting() {
    g_stopped = true;
    for (QEventLoop* loop : g_loops) loop->quit();
}

void ResumeWaiting() {
    g_stopped = false;
}

bool WaitingStopped() {
    return g_stopped;
}

}  // namespace modGeneral
