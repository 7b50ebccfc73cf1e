#include "checkcommand.h"

#include <QJsonArray>

#include "console.h"
#include "convertedfiles.h"
#include "convertedline.h"
#include "eepromplacement.h"
#include "flashimage.h"
#include "linereader.h"
#include "session.h"

namespace {
const QString kFlash = QStringLiteral("flash    %1 (%2 words)");
const QString kEeprom = QStringLiteral("eeprom   %1 (%2 bytes, as the device gets them)");
const QString kUserId = QStringLiteral("user ID  %1");
const QString kConfig = QStringLiteral("config   %1");
const QString kNone = QStringLiteral("none");
const QString kBelowBoot =
    QStringLiteral("warning: flash %1 lies below word 0x100: the bootloader's own, never written");
const QString kMoved = QStringLiteral(
    "warning: EEPROM record at %1 names offset %2 but goes to offset %3: the records are "
    "packed one after another (%4 records moved)");
const QString kNotProgrammed =
    QStringLiteral("warning: %1 present but not programmed by this bootloader");

QString Hex(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// Every address and data byte of a converted code file, line by line.
QList<QPair<int, QByteArray>> Lines(const QString& folder, MemoryRegion region) {
    QList<QPair<int, QByteArray>> lines;
    LineReader reader(ConvertedFiles::PathOf(folder, region));
    QByteArray text;
    if (!reader.Open()) return lines;
    while (reader.ReadLine(text)) {
        ByteAddr bytAddr{};
        QByteArray bytData;
        if (ConvertedLine(text).Decode(bytAddr, bytData))
            lines.append({int(WordOf(bytAddr)), bytData});
    }
    return lines;
}

// "000000-000001, 000100-000113" from ascending addresses.
QString Ranges(const QList<int>& addresses, int digits) {
    QStringList ranges;
    for (qsizetype i = 0; i < addresses.size();) {
        qsizetype j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) ++j;
        ranges.append(i == j ? Hex(addresses[i], digits)
                             : Hex(addresses[i], digits) + QLatin1Char('-') +
                                   Hex(addresses[j], digits));
        i = j + 1;
    }
    return ranges.isEmpty() ? kNone : ranges.join(QStringLiteral(", "));
}
}  // namespace

namespace {
QList<int> FlashWords(const QString& folder) {
    QSet<int> words;
    for (const auto& [word, data] : Lines(folder, MemoryRegion::Flash))
        for (int i = 0; i < (data.size() + 1) / 2; ++i) words.insert(word + i);
    QList<int> sorted(words.cbegin(), words.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

QList<int> EepromOffsets(const QString& folder) {
    QSet<int> offsets;
    for (const auto& [word, data] : Lines(folder, MemoryRegion::EEPROM))
        for (int i = 0; i < data.size(); ++i) offsets.insert((word + i) & 0xFF);
    QList<int> sorted(offsets.cbegin(), offsets.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// The bytes of a region as words of the given width, low byte first.
QString Values(const QString& folder, MemoryRegion region, int bytesPerValue) {
    QStringList values;
    for (const auto& line : Lines(folder, region))
        for (qsizetype i = 0; i < line.second.size(); i += bytesPerValue) {
            int value = 0;
            for (int b = bytesPerValue - 1; b >= 0; --b)
                value =
                    value << 8 | quint8(line.second.at(std::min(i + b, line.second.size() - 1)));
            values.append(Hex(value, bytesPerValue * 2));
        }
    return values.isEmpty() ? kNone : values.join(QLatin1Char(' '));
}

QStringList Warnings(const QString& folder, const QString& hexFile, const QList<int>& words) {
    QStringList warnings;
    const auto boot = std::find_if(words.cbegin(), words.cend(),
                                   [](int word) { return word >= int(FlashImage::kFirstWord); });
    if (boot != words.cbegin()) warnings.append(kBelowBoot.arg(Ranges({words.cbegin(), boot}, 6)));
    QList<EepromRecord> moved;
    for (const EepromRecord& record : PlaceEepromRecords(hexFile))
        if (record.placed != record.offset) moved.append(record);
    if (!moved.isEmpty())
        warnings.append(
            kMoved.arg(moved[0].address, Hex(moved[0].offset, 2), Hex(moved[0].placed, 2))
                .arg(moved.size()));
    if (Values(folder, MemoryRegion::UserID, 1) != kNone)
        warnings.append(kNotProgrammed.arg(QStringLiteral("user ID")));
    if (Values(folder, MemoryRegion::Config, 2) != kNone)
        warnings.append(kNotProgrammed.arg(QStringLiteral("configuration")));
    return warnings;
}
}  // namespace

ExitStatus CheckFile(Session& session, const QString& hexFile, Console& console, Report& report) {
    const QString folder = session.Context().programFolder;
    const QList<int> words = FlashWords(folder);
    const QList<int> offsets = EepromOffsets(folder);
    const QStringList map = {
        kFlash.arg(Ranges(words, 6)).arg(words.size()),
        kEeprom.arg(Ranges(offsets, 2)).arg(offsets.size()),
        kUserId.arg(Values(folder, MemoryRegion::UserID, 1)),
        kConfig.arg(Values(folder, MemoryRegion::Config, 2)),
    };
    const QStringList warnings = Warnings(folder, hexFile, words);
    for (const QString& line : map + warnings) console.Result(line);
    report.Set(QStringLiteral("map"), QJsonArray::fromStringList(map));
    report.Set(QStringLiteral("warnings"), QJsonArray::fromStringList(warnings));
    return ExitStatus::Success;
}
