#pragma once

#include <QByteArray>

#include "devicemap.h"
#include "intelhex.h"
#include "memoryimage.h"

// The full PIC16F877A image the benchmarks program: every word from 0x100, every EEPROM byte,
// as the assembler would write it (8 words a record, EEPROM bytes as words).
namespace FullImage {

inline quint16 WordValue(int word) {
    return quint16((word * 7 + 3) & DeviceMap::kFlashMask);
}

inline quint8 EepromValue(int offset) {
    return quint8(offset * 5 + 1);
}

inline QByteArray HexText() {
    MemoryImage image;
    for (int word = DeviceMap::kFirstAppWord; word < DeviceMap::kFlashWords; ++word)
        image.Set(word, WordValue(word));
    for (int offset = 0; offset < DeviceMap::kEepromBytes; ++offset)
        image.Set(DeviceMap::kEepromWord + offset, EepromValue(offset));
    return IntelHex::Text(image);
}
}  // namespace FullImage
