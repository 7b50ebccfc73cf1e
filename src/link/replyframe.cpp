#include "replyframe.h"

#include "framecodec.h"

namespace ReplyFrame {

namespace {
bool Passes(const QByteArray& payload, quint8 checksum, quint8 bytCode, Kind kind) {
    if (payload.isEmpty() || quint8(payload[0]) != bytCode) return false;
    if (kind == Kind::Acknowledgement) return checksum == quint8(0x100 - bytCode);
    return checksum == Frame::CalcCheckSum(payload);
}
}  // namespace

bool IsComplete(const QByteArray& buffer, quint8 bytCode, Kind kind) {
    if (buffer.isEmpty() || quint8(buffer[0]) != Frame::kStx) return false;
    QByteArray payload;
    for (qsizetype i = 1; i < buffer.size(); ++i) {
        const auto byte = quint8(buffer[i]);
        if (byte == Frame::kEtx)
            return i + 1 < buffer.size() && Passes(payload, quint8(buffer[i + 1]), bytCode, kind);
        if (byte == Frame::kEsc && ++i == buffer.size()) return false;
        payload.append(buffer[i]);
    }
    return false;
}

}  // namespace ReplyFrame
