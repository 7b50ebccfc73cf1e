#pragma once

#include <QByteArray>

// Collects request frames byte by byte as the firmware does: it hunts for 0x0F, takes escaped
// payload bytes up to the bare 0x04, then one checksum byte. A bare 0x0F inside a frame starts
// the frame afresh, which is how the firmware falls back into step after lost bytes.
class FrameReader {
public:
    enum class Result { NeedMore, Valid, Invalid };

    Result Feed(quint8 byte);
    // Drops any frame in progress and waits for the next start byte.
    void Hunt() { m_state = State::Hunting; }
    const QByteArray& Payload() const { return m_payload; }

private:
    enum class State { Hunting, Payload, Escaped, Checksum };

    State m_state = State::Hunting;
    QByteArray m_payload;
};
