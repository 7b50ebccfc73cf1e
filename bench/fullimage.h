#pragma once

#include <QByteArray>

#include "hexdumptext.h"

// The full PIC16F877A image the benchmarks program: every word from 0x100, every EEPROM byte,
// as the assembler would write it (8 words a record, EEPROM bytes as words).
namespace FullImage {
constexpr int kFirstWord = 0x100;

inline quint16 WordValue(int word) {
    return quint16((word * 7 + 3) & 0x3FFF);
}

inline quint8 EepromValue(int offset) {
    return quint8(offset * 5 + 1);
}

inline QByteArray HexText() {
    return HexDump::Text(
        [](int word) {
            return word >= kFirstWord && word < HexDump::kFlashWords ? WordValue(word)
                                                                     : HexDump::kErasedWord;
        },
        EepromValue);
}
}  // namespace FullImage
