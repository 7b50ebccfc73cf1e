#include "windowimport.h"

#include <QHash>
#include <optional>

#include "convertedfiles.h"
#include "hexfiletexts.h"
#include "hextext.h"

using namespace DeviceMap;

namespace WindowImport {

namespace {
constexpr int kEepromKey = 0x10000;  // a write's key: a flash byte address, or this + offset
constexpr int kLineOffsets = 16;
constexpr int kRecordBytes = 16;
constexpr int kMaxLines = 32767;
const QString kRefusal = QStringLiteral("line %1: %2 (%3)");
const QString kTooLong = QStringLiteral("more than 32,767 lines: it stops without a word");
const QString kTakenAs = QStringLiteral(" (taken as %1 after line %2)");
const QString kTakenAsFlash =
    QStringLiteral(" (taken as flash, as every record before another region)");
const QString kSkipped = QStringLiteral(" (below 0x100: skipped without a word)");
const QString kOverwritten = QStringLiteral(", line %1 writes over it");
const QString kOneLower = QStringLiteral(" (one byte lower: the odd address is halved)");
const QString kPacked = QStringLiteral(" (packed after the EEPROM record before)");
const QString kLongRecord = QStringLiteral(" (taken as a record of 16 bytes)");

using Writes = QList<QPair<int, quint8>>;

QString RegionName(MemoryRegion region) {
    static const QString names[] = {QStringLiteral("flash"), QStringLiteral("EEPROM"),
                                    QStringLiteral("user ID"), QStringLiteral("configuration")};
    return names[int(region)];
}

Writes CliWrites(const IntelHex::HexRecord& record) {
    Writes writes;
    for (int i = 0; i < record.data.size(); ++i) {
        const int address = record.offset + i;
        const int word = address / 2;
        if (word >= kFirstAppWord && word < kFlashWords)
            writes.append({address, quint8(record.data[i])});
        else if (RegionOf(word) == Region::Eeprom && address % 2 == 0)
            writes.append({kEepromKey + word - kEepromWord, quint8(record.data[i])});
    }
    return writes;
}

// "flash 0x0100–0x0107", "EEPROM 0x10–0x1F", or why nothing is written.
QString Describe(const Writes& writes, const QString& nothing) {
    QList<int> words, offsets;
    for (const auto& [key, value] : writes) {
        QList<int>& list = key >= kEepromKey ? offsets : words;
        const int at = key >= kEepromKey ? key - kEepromKey : key / 2;
        if (!list.contains(at)) list.append(at);
    }
    std::sort(words.begin(), words.end());
    std::sort(offsets.begin(), offsets.end());
    QStringList parts;
    if (!words.isEmpty()) parts.append(QStringLiteral("flash ") + RangesText(words, 4));
    if (!offsets.isEmpty()) parts.append(QStringLiteral("EEPROM ") + RangesText(offsets, 2));
    return parts.isEmpty() ? nothing : parts.join(QStringLiteral("; "));
}

QString CliNothing(const IntelHex::HexRecord& record) {
    const int word = record.offset / 2;
    if (word < kFirstAppWord) return QStringLiteral("not written: below 0x100");
    if (RegionOf(word) == Region::UserId || RegionOf(word) == Region::Config)
        return QStringLiteral("not written: never by this bootloader");
    return QStringLiteral("refused: outside the device");
}

// The window's import and programming, record by record.
class Window {
public:
    Writes Place(const IntelHex::HexRecord& record) {
        Select(record);
        Writes writes;
        if (m_region == MemoryRegion::Flash) {
            const int start = record.offset / 2 * 2;
            for (int i = 0; i < record.data.size(); ++i)
                if (start + i >= 2 * kFirstAppWord && start + i < 2 * kFlashWords)
                    writes.append({start + i, quint8(record.data[i])});
        }
        if (m_region == MemoryRegion::EEPROM) {
            if (!m_half) m_line = {m_address % kEepromBytes, 0};
            for (int i = 0; i < record.data.size(); i += 2)
                writes.append({kEepromKey + (m_line.first + m_line.second++) % kEepromBytes,
                               quint8(record.data[i])});
            if (m_half) m_address += kLineOffsets;
            m_half = !m_half;
        }
        return writes;
    }
    MemoryRegion Region() const { return m_region; }
    int RegionLine() const { return m_regionLine; }

private:
    void Select(const IntelHex::HexRecord& record) {
        static const QHash<QByteArray, MemoryRegion> kOpeners = {{"0000", MemoryRegion::Flash},
                                                                 {"4200", MemoryRegion::EEPROM},
                                                                 {"400E", MemoryRegion::Config},
                                                                 {"4000", MemoryRegion::UserID}};
        if (!kOpeners.contains(record.addressText)) return;
        m_region = kOpeners.value(record.addressText);
        m_regionLine = record.line;
    }

    MemoryRegion m_region = MemoryRegion::Flash;
    int m_regionLine = 0;
    int m_address = 0;       // of the next EEPROM line
    bool m_half = false;     // an EEPROM line holds its first record
    QPair<int, int> m_line;  // the EEPROM line's offset, and the bytes it holds
};

QString Refusal(const QList<IntelHex::HexRecord>& records) {
    bool linear = false;
    for (const IntelHex::HexRecord& record : records) {
        const auto refuse = [&](const QString& text, const QString& title) {
            return kRefusal.arg(record.line).arg(text, title);
        };
        if (record.type == 0x02)
            return refuse(HexFileText::kRecordType, HexFileText::kIncorrectFormat);
        if (record.type == 0x04 && record.data != QByteArray(2, '\0'))
            return refuse(HexFileText::kIncorrectAddress, HexFileText::kFormatError);
        if (record.type == 0x00 && !linear)
            return refuse(HexFileText::kNot32Bit, HexFileText::kFormatError);
        linear = linear || record.type == 0x04;
    }
    return !records.isEmpty() && records.last().line > kMaxLines ? kTooLong : QString();
}

// The later writes to each key: by line.
QHash<int, int> Owners(const QList<Writes>& writes, const QList<IntelHex::HexRecord>& records) {
    QHash<int, int> owners;
    for (qsizetype i = 0; i < writes.size(); ++i)
        for (const auto& write : writes[i]) owners[write.first] = records[i].line;
    return owners;
}

// The region the record's address names, as the window's regions go.
std::optional<MemoryRegion> RegionByAddress(const IntelHex::HexRecord& record) {
    switch (RegionOf(record.offset / 2)) {
        case Region::Flash:
            return MemoryRegion::Flash;
        case Region::Eeprom:
            return MemoryRegion::EEPROM;
        case Region::UserId:
            return MemoryRegion::UserID;
        case Region::Config:
            return MemoryRegion::Config;
        case Region::None:
            break;
    }
    return std::nullopt;
}

// Why the window puts the record where it does, when that is not where its address says.
QString WindowNote(const IntelHex::HexRecord& record, const Window& importer, bool moved) {
    const MemoryRegion region = importer.Region();
    if (RegionByAddress(record) != region && importer.RegionLine() == 0) return kTakenAsFlash;
    if (RegionByAddress(record) != region)
        return kTakenAs.arg(RegionName(region)).arg(importer.RegionLine());
    if (region == MemoryRegion::Flash && record.offset / 2 < kFirstAppWord) return kSkipped;
    if (region == MemoryRegion::Flash && record.offset % 2 != 0) return kOneLower;
    if (region == MemoryRegion::EEPROM && record.data.size() > kRecordBytes) return kLongRecord;
    return region == MemoryRegion::EEPROM && moved ? kPacked : QString();
}

QString OverwrittenBy(const Writes& writes, const QHash<int, int>& owners, int line) {
    for (const auto& write : writes)
        if (owners.value(write.first) != line) return kOverwritten.arg(owners.value(write.first));
    return {};
}
}  // namespace

Outcome Compare(const QList<IntelHex::HexRecord>& records) {
    Outcome outcome{Refusal(records), {}};
    if (!outcome.refusal.isEmpty()) return outcome;
    QList<IntelHex::HexRecord> data;
    QList<Writes> cli, window;
    QStringList notes;
    Window importer;
    for (const IntelHex::HexRecord& record : records) {
        if (record.type != 0x00) continue;
        data.append(record);
        cli.append(CliWrites(record));
        window.append(importer.Place(record));
        notes.append(WindowNote(record, importer, cli.last() != window.last()));
    }
    const QHash<int, int> cliOwners = Owners(cli, data), windowOwners = Owners(window, data);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const IntelHex::HexRecord& record = data[i];
        const QString cliOver = OverwrittenBy(cli[i], cliOwners, record.line);
        const QString windowOver = OverwrittenBy(window[i], windowOwners, record.line);
        // Words below 0x100 differ in what the user is told: kestrel-cli warns.
        if (cli[i] == window[i] && cliOver == windowOver && notes[i] != kSkipped) continue;
        outcome.differences.append(
            {record.line,
             QStringLiteral("%1 %2 bytes")
                 .arg(QString::fromLatin1(record.addressText))
                 .arg(record.data.size()),
             Describe(cli[i], CliNothing(record)) + cliOver,
             Describe(window[i], QStringLiteral("not written")) + notes[i] + windowOver});
    }
    return outcome;
}

QMap<int, quint8> Written(const QList<IntelHex::HexRecord>& records) {
    QMap<int, quint8> written;
    Window importer;
    for (const IntelHex::HexRecord& record : records)
        if (record.type == 0x00)
            for (const auto& [key, value] : importer.Place(record)) written[key] = value;
    return written;
}

}  // namespace WindowImport
