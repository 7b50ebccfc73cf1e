#include "hexload.h"

#include <QFile>

#include "devicememory.h"

namespace {
constexpr int kEepromWord = 0x2100;
constexpr int kHeaderBytes = 4;  // byte count, address high and low, record type
const QString kOpenError = QStringLiteral("cannot open it");
const QString kRecordError = QStringLiteral("line %1 is not a valid Intel HEX record");

bool Valid(const QByteArray& record) {
    quint8 sum = 0;
    for (const char byte : record) sum += quint8(byte);
    return record.size() > kHeaderBytes && sum == 0 &&
           quint8(record[0]) == record.size() - kHeaderBytes - 1;
}

void Store(DeviceMemory& memory, quint32 byteAddress, quint8 value) {
    const int word = int(byteAddress / 2);
    const bool high = byteAddress % 2 != 0;
    if (word >= kEepromWord && word < kEepromWord + DeviceMemory::kEepromBytes) {
        if (!high) memory.SetEeprom(word - kEepromWord, value);
        return;
    }
    const quint16 old = memory.Word(word);
    memory.SetWord(word,
                   high ? quint16((old & 0xFF) | value << 8) : quint16((old & 0xFF00) | value));
}
}  // namespace

bool LoadHex(DeviceMemory& memory, const QString& path, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = kOpenError;
        return false;
    }
    quint32 upper = 0;
    for (int number = 1; !file.atEnd(); ++number) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty()) continue;
        const QByteArray record = QByteArray::fromHex(line.mid(1));
        if (!line.startsWith(':') || !Valid(record)) {
            reason = kRecordError.arg(number);
            return false;
        }
        const quint32 address = quint8(record[1]) << 8 | quint8(record[2]);
        const QByteArray data = record.mid(kHeaderBytes, quint8(record[0]));
        if (record[3] == 1) break;
        if (record[3] == 4 && data.size() == 2)
            upper = (quint8(data[0]) << 8 | quint8(data[1])) << 16;
        if (record[3] != 0) continue;
        for (qsizetype i = 0; i < data.size(); ++i)
            Store(memory, upper + address + i, quint8(data[i]));
    }
    return true;
}
