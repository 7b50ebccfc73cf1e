#pragma once

#include <QByteArray>

// Reads frames byte by byte as the firmware does: it hunts for 0x0F, takes escaped payload
// bytes up to the bare 0x04, then one checksum byte, and says whether the frame is complete
// and valid, needs more bytes, or is invalid. A bare 0x0F inside a frame starts the frame
// afresh, which is how the firmware falls back into step after lost bytes. Both ends use it:
// the simulator for requests, the link to know when a reply has fully come.
class FrameReader {
public:
    enum class Result { NeedMore, Valid, Invalid };

    Result Feed(quint8 byte);
    // Drops any frame in progress and waits for the next start byte.
    void Hunt() { m_state = State::Hunting; }
    // The unescaped payload of the frame read last (or being read).
    const QByteArray& Payload() const { return m_payload; }

    // The first complete frame in the bytes: Valid or Invalid, or NeedMore when none ends there.
    static Result FirstFrame(const QByteArray& bytes, QByteArray& payload);

private:
    enum class State { Hunting, Payload, Escaped, Checksum };

    State m_state = State::Hunting;
    QByteArray m_payload;
};
