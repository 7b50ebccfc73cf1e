#include "eepromplacement.h"

#include "hexdumptext.h"
#include "linereader.h"

namespace {
constexpr int kLineOffsets = 16;
const QByteArray kEepromStart = "4200";
const QList<QByteArray> kOtherStarts = {"0000", "400E", "4000"};

// Data bytes of a checked data record "LLAAAA00...", or -1 for any other record.
int DataBytes(const QByteArray& line) {
    if (line.size() < 11 || line.mid(7, 2) != "00") return -1;
    return line.mid(1, 2).toInt(nullptr, 16);
}
}  // namespace

QList<EepromRecord> PlaceEepromRecords(const QString& hexFile) {
    QList<EepromRecord> records;
    LineReader reader(hexFile);
    if (!reader.Open()) return records;
    QByteArray line;
    bool inEeprom = false;
    int lineStart = 0;  // EEPROM bytes already in the converted line being built
    while (reader.ReadLine(line)) {
        const int bytes = DataBytes(line);
        if (bytes < 0) continue;
        const QByteArray address = line.mid(3, 4);
        if (address == kEepromStart) inEeprom = true;
        if (kOtherStarts.contains(address)) inEeprom = false;
        if (!inEeprom) continue;
        const int lineNumber = int(records.size()) / 2;
        const int placed = (lineNumber * kLineOffsets + lineStart) % HexDump::kEepromBytes;
        const int offset = (address.toInt(nullptr, 16) - HexDump::kEepromByteAddress) / 2;
        records.append({QString::fromLatin1(address), offset, placed});
        lineStart = records.size() % 2 == 1 ? (bytes + 1) / 2 : 0;
    }
    return records;
}
