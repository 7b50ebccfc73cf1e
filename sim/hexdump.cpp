#include "hexdump.h"

#include <QFile>

#include "devicememory.h"

namespace {
constexpr int kRowBytes = 16;
constexpr int kUserIdWords = 4;
constexpr int kEepromByteAddress = 0x4200;

QByteArray Record(int type, int address, const QByteArray& data) {
    QByteArray record;
    record.append(char(data.size())).append(char(address >> 8)).append(char(address & 0xFF));
    record.append(char(type)).append(data);
    unsigned sum = 0;
    for (const char byte : record) sum += quint8(byte);
    record.append(char(-sum & 0xFF));
    return ':' + record.toHex().toUpper() + '\n';
}

bool AllErased(const QByteArray& words) {
    for (qsizetype i = 0; i < words.size(); i += 2)
        if (quint8(words[i]) != 0xFF || quint8(words[i + 1]) != 0x3F) return false;
    return true;
}

// Words from the given word address, one record per row of 16 bytes.
QByteArray WordRows(const DeviceMemory& memory, int address, int words) {
    QByteArray text;
    for (int row = 0; row < words; row += kRowBytes / 2) {
        const QByteArray bytes =
            memory.ReadWords(address + row, std::min(kRowBytes, (words - row) * 2));
        if (!AllErased(bytes)) text += Record(0, (address + row) * 2, bytes);
    }
    return text;
}

QByteArray EepromRows(const DeviceMemory& memory) {
    QByteArray text;
    for (int row = 0; row < DeviceMemory::kEepromBytes; row += kRowBytes / 2) {
        QByteArray bytes;
        bool erased = true;
        for (int i = row; i < row + kRowBytes / 2; ++i) {
            bytes.append(char(memory.Eeprom(i))).append('\0');
            erased = erased && memory.Eeprom(i) == DeviceMemory::kErasedByte;
        }
        if (!erased) text += Record(0, kEepromByteAddress + row * 2, bytes);
    }
    return text;
}
}  // namespace

bool WriteHexDump(const DeviceMemory& memory, const QString& path) {
    QByteArray text = Record(4, 0, QByteArray(2, '\0'));
    text += WordRows(memory, 0, DeviceMemory::kFlashWords);
    text += WordRows(memory, DeviceMemory::kConfigBase, kUserIdWords);
    text += WordRows(memory, DeviceMemory::kConfigWord, 1);
    text += EepromRows(memory);
    text += Record(1, 0, {});
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
