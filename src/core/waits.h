#pragma once

#include <QDeadlineTimer>
#include <algorithm>

// Every wait of a command or of the link goes through here, so that a test can record the
// waits instead of spending them. Each returns false when waits were stopped: the running
// command must then end at once, without further messages.
class Waits {
public:
    virtual ~Waits() = default;

    // The timed delay: waits sngSeconds while the window stays alive.
    virtual bool Delay(float sngSeconds) = 0;
    // Waits until the deadline, which may be moved meanwhile (see Wake).
    virtual bool WaitUntil(const QDeadlineTimer& deadline) = 0;
    // Lets pending events run once.
    virtual bool Yield() = 0;
    // Makes every running wait look at its deadline again.
    virtual void Wake() = 0;

    // The window stops every running and later wait when it must end the running command
    // (it closes, or another port is chosen); it resumes them before its own steps.
    virtual void Stop() = 0;
    virtual void Resume() = 0;
    virtual bool Stopped() const = 0;

protected:
    // The deadline of a timed delay, on the monotonic clock.
    static QDeadlineTimer DelayDeadline(float sngSeconds) {
        const auto ns = static_cast<qint64>(static_cast<double>(sngSeconds) * 1e9);
        return QDeadlineTimer(std::chrono::nanoseconds(std::max<qint64>(ns, 0)), Qt::PreciseTimer);
    }
};
