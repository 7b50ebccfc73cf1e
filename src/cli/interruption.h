#pragma once

#include <QList>

#include "waits.h"

// SIGINT or SIGTERM: every wait of every board that runs, or starts later, is stopped, so that
// each run ends at once, says what it had done and leaves nothing half made behind.
class Interruption {
public:
    void Add(Waits* waits) {
        m_waits.append(waits);
        if (m_signal != 0) waits->Stop();
    }
    void Remove(Waits* waits) { m_waits.removeOne(waits); }

    void Stop(int signal) {
        if (m_signal == 0) m_signal = signal;
        for (Waits* waits : m_waits) waits->Stop();
    }
    // The signal that came, or 0.
    int Signal() const { return m_signal; }

private:
    QList<Waits*> m_waits;
    int m_signal = 0;
};
