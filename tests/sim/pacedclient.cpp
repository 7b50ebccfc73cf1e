#include "pacedclient.h"

#include "framecodec.h"
#include "simsession.h"

int PacedClient::Send(const QByteArray& frame) {
    using std::chrono::ceil;
    using std::chrono::milliseconds;
    for (int attempt = 1; attempt <= m_retries; ++attempt) {
        m_session.DiscardInput();
        m_session.Write(frame);
        auto deadline = SimSession::Clock::now() + m_interval;
        if (m_rule == Deadline::AfterLineTime) deadline += Frame::LineTime(frame.size());
        SimSession::Pause(ceil<milliseconds>(deadline - SimSession::Clock::now()));
        // A wait that ended late must not count what came after its deadline.
        if (!m_session.Received().isEmpty() && m_session.FirstArrival() <= deadline) return attempt;
    }
    return 0;
}
