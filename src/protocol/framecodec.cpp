#include "framecodec.h"

namespace Frame {

quint8 CalcCheckSum(const QByteArray& payload) {
    unsigned sum = 0;
    for (const char byte : payload) sum += static_cast<quint8>(byte);
    return static_cast<quint8>(((sum & 0xFF) ^ 0xFF) + 1);
}

void AddEscapeBytes(QByteArray& payload) {
    QByteArray escaped;
    escaped.reserve(payload.size() * 2);
    for (const char byte : payload) {
        const auto value = static_cast<quint8>(byte);
        if (value == kEtx || value == kEsc || value == kStx) escaped.append(char(kEsc));
        escaped.append(byte);
    }
    payload = escaped;
}

QByteArray Build(const QByteArray& payload) {
    const quint8 checksum = CalcCheckSum(payload);
    QByteArray escaped = payload;
    AddEscapeBytes(escaped);
    QByteArray frame;
    frame.reserve(escaped.size() + 3);
    frame.append(char(kStx)).append(escaped).append(char(kEtx)).append(char(checksum));
    return frame;
}

void UnpackReply(const QByteArray& reply, QByteArray& payload, quint8& checksum) {
    payload.clear();
    checksum = reply.isEmpty() ? 0 : static_cast<quint8>(reply.back());
    const qsizetype end = reply.size() - 2;
    for (qsizetype i = 1; i < end; ++i) {
        if (static_cast<quint8>(reply.at(i)) == kEsc && ++i >= end) break;
        payload.append(reply.at(i));
    }
}

}  // namespace Frame
