#pragma once

#include <QByteArray>
#include <chrono>

// Framing of the bootloader protocol: 0x0F, escaped payload, 0x04, checksum.
namespace Frame {

constexpr quint8 kStx = 0x0F;
constexpr quint8 kEtx = 0x04;
constexpr quint8 kEsc = 0x05;

// Two's complement of the low eight bits of the payload's byte sum.
quint8 CalcCheckSum(const QByteArray& payload);

// Puts an escape byte before every 0x04, 0x05 and 0x0F of the payload.
void AddEscapeBytes(QByteArray& payload);

// The whole request frame for an unescaped payload.
QByteArray Build(const QByteArray& payload);

// Drops start, end and checksum bytes and the escapes; the last byte is the checksum.
void UnpackReply(const QByteArray& reply, QByteArray& payload, quint8& checksum);

// Time the bytes spend on a 9600,n,8,1 line: ten bits each.
constexpr std::chrono::nanoseconds LineTime(qsizetype bytes) {
    return std::chrono::nanoseconds(static_cast<qint64>(bytes) * 10 * 1'000'000'000LL / 9600);
}

}  // namespace Frame
