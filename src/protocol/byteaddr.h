#pragma once

#include <QtGlobal>
#include <array>

// A device word address as it goes on the wire: low, high, upper byte, sent in index order.
using ByteAddr = std::array<quint8, 3>;

inline ByteAddr ByteAddrOfWord(quint32 word) {
    return {static_cast<quint8>(word), static_cast<quint8>(word >> 8),
            static_cast<quint8>(word >> 16)};
}

inline quint32 WordOf(const ByteAddr& bytAddr) {
    return bytAddr[0] | bytAddr[1] << 8 | bytAddr[2] << 16;
}
