#include "framereader.h"

#include "framecodec.h"

FrameReader::Result FrameReader::Feed(quint8 byte) {
    switch (m_state) {
        case State::Hunting:
            if (byte == Frame::kStx) {
                m_payload.clear();
                m_state = State::Payload;
            }
            return Result::NeedMore;
        case State::Escaped:
            m_payload.append(char(byte));
            m_state = State::Payload;
            return Result::NeedMore;
        case State::Payload:
            if (byte == Frame::kStx)
                m_payload.clear();
            else if (byte == Frame::kEsc)
                m_state = State::Escaped;
            else if (byte == Frame::kEtx)
                m_state = State::Checksum;
            else
                m_payload.append(char(byte));
            return Result::NeedMore;
        case State::Checksum:
            m_state = State::Hunting;
            return Frame::CalcCheckSum(m_payload) == byte ? Result::Valid : Result::Invalid;
    }
    return Result::NeedMore;
}

FrameReader::Result FrameReader::FirstFrame(const QByteArray& bytes, QByteArray& payload) {
    FrameReader reader;
    for (const char byte : bytes) {
        const Result result = reader.Feed(quint8(byte));
        if (result == Result::NeedMore) continue;
        payload = reader.Payload();
        return result;
    }
    return Result::NeedMore;
}
