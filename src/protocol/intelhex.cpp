#include "intelhex.h"

#include <cctype>
#include <climits>
#include <vector>

#include "linereader.h"

namespace IntelHex {

namespace {
const QString kUnreadable = QStringLiteral("%1: cannot be read");
const QString kAt = QStringLiteral("%1:%2: %3");
const QString kNoEnd = QStringLiteral("%1: no end record (type 01)");
const QString kEmpty = QStringLiteral("empty line");
const QString kNoColon = QStringLiteral("no ':' at the start of the line");
const QString kNotHex = QStringLiteral("'%1' is not a hexadecimal digit");
const QString kOddDigits = QStringLiteral("odd number of hexadecimal digits");
const QString kTooShort = QStringLiteral("too short for a record");
const QString kCount = QStringLiteral("the byte count says %1 data bytes, the line holds %2");
const QString kChecksum = QStringLiteral("checksum %1, expected %2");
const QString kType = QStringLiteral("record type %1 is not 00, 01, 02 or 04");
const QString kAddressData = QStringLiteral("an address record holds 2 data bytes, this one %1");
constexpr quint8 kData = 0x00;
constexpr quint8 kEnd = 0x01;
constexpr quint8 kSegment = 0x02;
constexpr quint8 kLinear = 0x04;
constexpr int kHeaderBytes = 4;  // count, address high and low, type
constexpr int kRecordWords = 8;

QString Hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

quint8 Sum(const QByteArray& bytes) {
    unsigned sum = 0;
    for (const char byte : bytes) sum += quint8(byte);
    return quint8(sum);
}

// The record of one line, or why it is none.
QString Decode(const QByteArray& line, HexRecord& record) {
    if (line.isEmpty()) return kEmpty;
    if (line[0] != ':') return kNoColon;
    for (const char c : line.mid(1))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return kNotHex.arg(QLatin1Char(c));
    if (line.size() % 2 == 0) return kOddDigits;
    const QByteArray bytes = QByteArray::fromHex(line.mid(1));
    if (bytes.size() < kHeaderBytes + 1) return kTooShort;
    const int count = quint8(bytes[0]);
    const int follow = int(bytes.size()) - kHeaderBytes - 1;
    if (count != follow) return kCount.arg(count).arg(follow);
    const quint8 expected = quint8(-Sum(bytes.chopped(1)));
    if (quint8(bytes.back()) != expected)
        return kChecksum.arg(Hex2(quint8(bytes.back())), Hex2(expected));
    record.type = quint8(bytes[3]);
    if (record.type > kLinear || record.type == 0x03) return kType.arg(Hex2(record.type));
    if ((record.type == kSegment || record.type == kLinear) && count != 2)
        return kAddressData.arg(count);
    record.offset = quint16(quint8(bytes[1]) << 8 | quint8(bytes[2]));
    record.addressText = line.mid(3, 4);
    record.data = bytes.mid(kHeaderBytes, count);
    return {};
}

// Puts data bytes into the image, noting each byte that lands on an earlier one and each that
// falls outside the device.
class Placer {
public:
    explicit Placer(Reading& reading) : m_reading(reading), m_owner(2 * DeviceMap::kEndWord, 0) {}

    void Put(int line, quint32 byteAddress, quint8 value) {
        const quint32 word = byteAddress / 2;
        if (DeviceMap::RegionOf(int(std::min<quint32>(word, INT_MAX))) == DeviceMap::Region::None) {
            auto& outside = m_reading.outside;
            if (outside.isEmpty() || outside.back().lastWord + 1 < word ||
                outside.back().firstWord > word)
                outside.append({line, line, word, word});
            outside.back().lastLine = line;
            outside.back().lastWord = std::max(outside.back().lastWord, word);
            return;
        }
        const int earlier = std::exchange(m_owner[byteAddress], line);
        if (!m_reading.image.SetByte(int(word), byteAddress % 2 != 0, value)) return;
        auto& overwrites = m_reading.overwrites;
        if (overwrites.isEmpty() || overwrites.back().line != line ||
            overwrites.back().earlierLine != earlier || overwrites.back().lastWord + 1 < int(word))
            overwrites.append({line, earlier, int(word), int(word)});
        overwrites.back().lastWord = int(word);
    }

private:
    Reading& m_reading;
    std::vector<int> m_owner;  // the line that set each byte
};

// The byte address of data byte i of a record, under the last address record's base.
quint32 AddressOf(const HexRecord& record, quint8 baseType, quint32 base, int i) {
    if (baseType == kSegment) return base + ((record.offset + i) & 0xFFFF);
    return base + record.offset + quint32(i);
}
}  // namespace

Reading Read(const QString& path) {
    Reading reading;
    LineReader reader(path);
    if (!reader.Open()) {
        reading.error = kUnreadable.arg(path);
        return reading;
    }
    Placer placer(reading);
    quint8 baseType = kLinear;
    quint32 base = 0;
    QByteArray line;
    for (int number = 1; reader.ReadLine(line); ++number) {
        HexRecord record{number, 0, 0, {}, {}};
        if (const QString why = Decode(line, record); !why.isEmpty()) {
            reading.error = kAt.arg(path).arg(number).arg(why);
            return reading;
        }
        reading.records.append(record);
        if (record.type == kEnd) return reading;
        if (record.type != kData) {
            baseType = record.type;
            const quint32 value = quint8(record.data[0]) << 8 | quint8(record.data[1]);
            base = record.type == kSegment ? value << 4 : value << 16;
            continue;
        }
        for (int i = 0; i < record.data.size(); ++i)
            placer.Put(number, AddressOf(record, baseType, base, i), quint8(record.data[i]));
    }
    reading.error = reader.HasError() ? kUnreadable.arg(path) : kNoEnd.arg(path);
    return reading;
}

QByteArray RecordText(quint8 type, quint16 offset, const QByteArray& data) {
    QByteArray record;
    record.append(char(data.size())).append(char(offset >> 8)).append(char(offset & 0xFF));
    record.append(char(type)).append(data);
    record.append(char(-Sum(record)));
    return ':' + record.toHex().toUpper() + '\n';
}

QByteArray Text(const MemoryImage& image) {
    QByteArray text = RecordText(kLinear, 0, QByteArray(2, '\0'));
    const QList<int> words = image.Words(0, DeviceMap::kEndWord);
    for (qsizetype i = 0; i < words.size();) {
        // A run: consecutive set words within one aligned record.
        qsizetype j = i + 1;
        while (j < words.size() && words[j] == words[j - 1] + 1 &&
               words[j] / kRecordWords == words[i] / kRecordWords)
            ++j;
        QByteArray bytes;
        bool erased = true;
        for (qsizetype k = i; k < j; ++k) {
            const quint16 value = image.Word(words[k]);
            bytes.append(char(value & 0xFF)).append(char(value >> 8));
            erased = erased && value == DeviceMap::ErasedOf(words[k]);
        }
        if (!erased) text += RecordText(kData, quint16(words[i] * 2), bytes);
        i = j;
    }
    return text + RecordText(kEnd, 0, {});
}

}  // namespace IntelHex
