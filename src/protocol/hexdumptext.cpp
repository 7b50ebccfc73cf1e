#include "hexdumptext.h"

namespace HexDump {

namespace {
constexpr int kRowBytes = 16;

QByteArray Record(int type, int address, const QByteArray& data) {
    QByteArray record;
    record.append(char(data.size())).append(char(address >> 8)).append(char(address & 0xFF));
    record.append(char(type)).append(data);
    unsigned sum = 0;
    for (const char byte : record) sum += quint8(byte);
    record.append(char(-sum & 0xFF));
    return ':' + record.toHex().toUpper() + '\n';
}

// Words from the given word address, one record per row of 16 bytes.
QByteArray WordRows(const WordAt& wordAt, int address, int words) {
    QByteArray text;
    for (int row = 0; row < words; row += kRowBytes / 2) {
        QByteArray bytes;
        bool erased = true;
        for (int i = row; i < std::min(words, row + kRowBytes / 2); ++i) {
            const quint16 word = wordAt(address + i);
            bytes.append(char(word & 0xFF)).append(char(word >> 8));
            erased = erased && word == kErasedWord;
        }
        if (!erased) text += Record(0, (address + row) * 2, bytes);
    }
    return text;
}

QByteArray EepromRows(const EepromAt& eepromAt) {
    QByteArray text;
    for (int row = 0; row < kEepromBytes; row += kRowBytes / 2) {
        QByteArray bytes;
        bool erased = true;
        for (int i = row; i < row + kRowBytes / 2; ++i) {
            bytes.append(char(eepromAt(i))).append('\0');
            erased = erased && eepromAt(i) == kErasedByte;
        }
        if (!erased) text += Record(0, kEepromByteAddress + row * 2, bytes);
    }
    return text;
}
}  // namespace

QByteArray Text(const WordAt& wordAt, const EepromAt& eepromAt) {
    QByteArray text = Record(4, 0, QByteArray(2, '\0'));
    text += WordRows(wordAt, 0, kFlashWords);
    text += WordRows(wordAt, kUserIdWord, kUserIdWords);
    text += WordRows(wordAt, kConfigWord, 1);
    text += EepromRows(eepromAt);
    text += Record(1, 0, {});
    return text;
}

}  // namespace HexDump
