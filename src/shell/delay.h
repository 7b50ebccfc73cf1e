#pragma once

#include <QDeadlineTimer>

// Waits that keep the window alive: each runs the event loop until a monotonic deadline and
// uses no CPU meanwhile.
namespace modGeneral {

// Waits sngSeconds. Returns false when the wait was cut short because waits were stopped.
bool Delay(float sngSeconds);

// Waits until the deadline. Returns false when the wait was cut short because waits were stopped.
bool WaitUntil(const QDeadlineTimer& deadline);

// Makes every running wait look at its deadline again, so a wait whose deadline was moved
// ends at once instead of sleeping on to the old time.
void WakeWaits();

// Lets pending events run once.
void DoEvents();

// The main window stops every running and later wait when it closes while a command runs,
// so the command ends at its next wait; it resumes waits before its own unload steps.
void StopWaiting();
void ResumeWaiting();
bool WaitingStopped();

}  // namespace modGeneral
