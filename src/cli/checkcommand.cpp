#include "checkcommand.h"

#include <QJsonArray>

#include "clioptions.h"
#include "console.h"
#include "hextext.h"
#include "imagecheck.h"
#include "texttable.h"
#include "windowimport.h"

using namespace DeviceMap;

namespace {
const QString kFlash = QStringLiteral("flash    %1 (%2 words)");
const QString kEeprom = QStringLiteral("eeprom   %1 (%2 bytes)");
const QString kUserId = QStringLiteral("user ID  %1");
const QString kConfig = QStringLiteral("config   %1");
const QString kNone = QStringLiteral("none");
const QString kRefused = QStringLiteral("refused: %1");
const QString kWarning = QStringLiteral("warning: %1");
const QString kWindowRefuses = QStringLiteral("the window refuses the file: %1");
const QString kWindowSame = QStringLiteral("the window's import writes the same");
const QString kWindowDiffers = QStringLiteral("where the window's import differs:");
const QStringList kHeadings = {QStringLiteral("line"), QStringLiteral("record"),
                               QStringLiteral("kestrel-cli"), QStringLiteral("the window")};

QString Values(const MemoryImage& image, int first, int end) {
    QStringList values;
    for (const int word : image.Words(first, end)) values.append(HexText(image.Word(word), 4));
    return values.isEmpty() ? kNone : values.join(QLatin1Char(' '));
}

QStringList Map(const MemoryImage& image) {
    const QList<int> words = image.Words(0, kFlashWords);
    const QList<int> bytes = WordsOf(image, kEepromWord, kEndWord, kEepromWord);
    return {kFlash.arg(words.isEmpty() ? kNone : RangesText(words, 4)).arg(words.size()),
            kEeprom.arg(bytes.isEmpty() ? kNone : RangesText(bytes, 2)).arg(bytes.size()),
            kUserId.arg(Values(image, kUserIdWord, kUserIdWord + kUserIdWords)),
            kConfig.arg(Values(image, kConfigWord, kConfigWord + 1))};
}

QStringList Table(const QList<WindowImport::Difference>& differences) {
    QList<QStringList> rows = {kHeadings};
    for (const auto& difference : differences)
        rows.append({QString::number(difference.line), difference.record, difference.cli,
                     difference.window});
    return TextTable(rows);
}

QStringList Window(const IntelHex::Reading& reading) {
    const WindowImport::Outcome outcome = WindowImport::Compare(reading.records);
    if (!outcome.refusal.isEmpty()) return {kWindowRefuses.arg(outcome.refusal)};
    if (outcome.differences.isEmpty()) return {kWindowSame};
    return QStringList{kWindowDiffers} + Table(outcome.differences);
}
}  // namespace

ExitStatus CheckFile(const IntelHex::Reading& reading, const CliOptions& options, Console& console,
                     Report& report) {
    const ImageCheck check = CheckImage(reading, options.flash, options.eeprom);
    const QStringList map = Map(reading.image);
    QStringList notes;
    for (const QString& refusal : check.refusals) notes.append(kRefused.arg(refusal));
    for (const QString& warning : check.warnings) notes.append(kWarning.arg(warning));
    const QStringList window = Window(reading);
    for (const QString& line : map + notes + window) console.Result(line);
    report.Set(QStringLiteral("map"), QJsonArray::fromStringList(map));
    report.Set(QStringLiteral("refusals"), QJsonArray::fromStringList(check.refusals));
    report.Set(QStringLiteral("warnings"), QJsonArray::fromStringList(check.warnings));
    report.Set(QStringLiteral("window"), QJsonArray::fromStringList(window));
    const bool refused = !check.refusals.isEmpty() || (options.strict && !check.warnings.isEmpty());
    return refused ? ExitStatus::BadUsage : ExitStatus::Success;
}
