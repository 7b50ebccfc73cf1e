#include "verifycommand.h"

#include <QSet>

#include "console.h"
#include "devicereader.h"
#include "expectedimage.h"
#include "session.h"

namespace {
constexpr int kShown = 10;
constexpr quint16 kWordBits = 0x3FFF;  // the device keeps 14 bits of a word
constexpr int kEepromWord = 0x2100;
const QString kDifference = QStringLiteral("%1  device %2  file %3");
const QString kMatch = QStringLiteral("verify: %1 flash words and %2 EEPROM bytes match");
const QString kDiffer = QStringLiteral("verify: %1 %2 in %3 flash words and %4 EEPROM bytes");

QString Hex(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QList<int> Starts(const QList<int>& keys, int size) {
    QList<int> starts;
    for (const int key : keys)
        if (starts.isEmpty() || starts.back() != key / size * size)
            starts.append(key / size * size);
    return starts;
}

struct Comparison {
    int count = 0;
    QStringList shown;
    QJsonArray first;

    void Add(int word, int device, int file, int digits) {
        if (count++ >= kShown) return;
        shown.append(kDifference.arg(Hex(word, 6), Hex(device, digits), Hex(file, digits)));
        first.append(QJsonObject{{QStringLiteral("address"), Hex(word, 6)},
                                 {QStringLiteral("device"), Hex(device, digits)},
                                 {QStringLiteral("file"), Hex(file, digits)}});
    }
};

Comparison Compare(const ExpectedImage& expected, const DeviceImage& device) {
    Comparison comparison;
    for (auto it = expected.flash.cbegin(); it != expected.flash.cend(); ++it)
        if ((device.flash[it.key()] & kWordBits) != (it.value() & kWordBits))
            comparison.Add(it.key(), device.flash[it.key()], it.value(), 4);
    for (auto it = expected.eeprom.cbegin(); it != expected.eeprom.cend(); ++it)
        if (device.eeprom[it.key()] != it.value())
            comparison.Add(kEepromWord + it.key(), device.eeprom[it.key()], it.value(), 2);
    return comparison;
}
}  // namespace

ExitStatus VerifyDevice(Session& session, bool flash, bool eeprom, Console& console,
                        Report& report) {
    const ExpectedImage expected =
        ExpectedImage::FromFolder(session.Context().programFolder, flash, eeprom);
    DeviceImage device;
    DeviceReader reader(session.Context(), device);
    const QList<int> rows = Starts(expected.flash.keys(), DeviceReader::kRowWords);
    const QList<int> chunks = Starts(expected.eeprom.keys(), DeviceReader::kChunkBytes);
    if ((!rows.isEmpty() && !reader.Flash(rows)) || (!chunks.isEmpty() && !reader.Eeprom(chunks)))
        return ExitStatus::DeviceFailure;
    const Comparison comparison = Compare(expected, device);
    for (const QString& line : comparison.shown) console.Result(line);
    const auto words = expected.flash.size();
    const auto bytes = expected.eeprom.size();
    console.Result(comparison.count == 0
                       ? kMatch.arg(words).arg(bytes)
                       : kDiffer.arg(comparison.count)
                             .arg(comparison.count == 1 ? QStringLiteral("difference")
                                                        : QStringLiteral("differences"))
                             .arg(words)
                             .arg(bytes));
    report.Set(QStringLiteral("verify"),
               QJsonObject{{QStringLiteral("words"), int(words)},
                           {QStringLiteral("bytes"), int(bytes)},
                           {QStringLiteral("differences"), comparison.count},
                           {QStringLiteral("first"), comparison.first}});
    return comparison.count == 0 ? ExitStatus::Success : ExitStatus::Differences;
}
