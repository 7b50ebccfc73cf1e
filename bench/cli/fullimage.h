#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "intelhex.h"

// The full PIC16F877A image of the benchmarks: 7936 flash words from 0x100 and 256 EEPROM
// bytes, with values that differ from word to word.
namespace FullImage {

inline quint16 WordValue(int word) {
    return quint16((word * 7 + 3) & DeviceMap::kFlashMask);
}

inline quint8 EepromValue(int offset) {
    return quint8(offset * 5 + 1);
}

// As the assembler would write it: 8 words a record, EEPROM bytes as words.
inline QByteArray HexText() {
    MemoryImage image;
    for (int word = DeviceMap::kFirstAppWord; word < DeviceMap::kFlashWords; ++word)
        image.Set(word, WordValue(word));
    for (int offset = 0; offset < DeviceMap::kEepromBytes; ++offset)
        image.Set(DeviceMap::kEepromWord + offset, EepromValue(offset));
    return IntelHex::Text(image);
}

inline bool Write(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(HexText()) > 0;
}

}  // namespace FullImage
