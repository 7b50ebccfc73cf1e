#include "verifycommand.h"

#include "console.h"
#include "hextext.h"
#include "memoryimage.h"
#include "steprunner.h"
#include "steps.h"

using namespace DeviceMap;

namespace {
constexpr int kShown = 10;
const QString kDifference = QStringLiteral("%1  device %2  %3 %4");
const QString kMatch = QStringLiteral("verify: %1 flash words and %2 EEPROM bytes match");
const QString kBlank = QStringLiteral(", and the other %1 rows are blank");
const QString kDiffer = QStringLiteral("verify: %1 %2 in %3 flash words and %4 EEPROM bytes");
const QString kDifferBlank = QStringLiteral(" and %1 other rows");
const QString kNothing = QStringLiteral("verify: nothing to compare");

struct Comparison {
    int count = 0;
    QStringList shown;
    QJsonArray first;

    void Compare(const MemoryImage& device, int word, quint16 expected, const QString& what) {
        const quint16 mask = MaskOf(word);
        if ((device.Word(word) & mask) == (expected & mask)) return;
        if (count++ >= kShown) return;
        const int digits = mask == kEepromMask ? 2 : 4;
        const QString at = HexText(word, 6);
        const QString seen = HexText(device.Word(word) & mask, digits);
        const QString wanted = HexText(expected & mask, digits);
        shown.append(kDifference.arg(at, seen, what, wanted));
        first.append(QJsonObject{
            {QStringLiteral("address"), at}, {QStringLiteral("device"), seen}, {what, wanted}});
    }
};

QString Summary(int differences, qsizetype words, qsizetype bytes, qsizetype rows) {
    if (differences == 0)
        return kMatch.arg(words).arg(bytes) + (rows ? kBlank.arg(rows) : QString());
    return kDiffer.arg(differences)
               .arg(differences == 1 ? QStringLiteral("difference") : QStringLiteral("differences"))
               .arg(words)
               .arg(bytes) +
           (rows ? kDifferBlank.arg(rows) : QString());
}

QList<int> WordsOfRows(const QList<int>& rows) {
    QList<int> words;
    for (const int row : rows)
        for (int word = row; word < row + kRowWords; ++word) words.append(word);
    return words;
}
}  // namespace

ExitStatus VerifyDevice(StepRunner& runner, const MemoryImage& expected,
                        const QList<int>& blankRows, Console& console, Report& report) {
    const QList<int> flash = expected.Words(0, kFlashWords);
    const QList<int> eeprom = expected.Words(kEepromWord, kEndWord);
    const QList<int> blank = WordsOfRows(blankRows);
    if (flash.isEmpty() && eeprom.isEmpty()) {
        console.Message(kNothing);
        return ExitStatus::Differences;
    }
    MemoryImage device;
    for (const Step& step :
         {Steps::Read(QStringLiteral("read-flash"), QStringLiteral("Reading flash"), flash),
          Steps::Read(QStringLiteral("read-eeprom"), QStringLiteral("Reading EEPROM"), eeprom),
          Steps::Read(QStringLiteral("read-blank"), QStringLiteral("Reading the other rows"),
                      blank)})
        if (!step.exchanges.isEmpty() && !runner.Run(step, device))
            return ExitStatus::DeviceFailure;
    Comparison comparison;
    for (const int word : flash + eeprom)
        comparison.Compare(device, word, expected.Word(word), QStringLiteral("file"));
    for (const int word : blank)
        comparison.Compare(device, word, kErasedWord, QStringLiteral("blank"));
    for (const QString& line : comparison.shown) console.Result(line);
    console.Result(Summary(comparison.count, flash.size(), eeprom.size(), blankRows.size()));
    report.Set(QStringLiteral("verify"),
               QJsonObject{{QStringLiteral("words"), int(flash.size())},
                           {QStringLiteral("bytes"), int(eeprom.size())},
                           {QStringLiteral("blankRows"), int(blankRows.size())},
                           {QStringLiteral("differences"), comparison.count},
                           {QStringLiteral("first"), comparison.first}});
    return comparison.count == 0 ? ExitStatus::Success : ExitStatus::Differences;
}
