#include "readcommand.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "clioptions.h"
#include "console.h"
#include "hextext.h"
#include "intelhex.h"
#include "steprunner.h"
#include "steps.h"

using namespace DeviceMap;

namespace {
const QString kRangeError = QStringLiteral(
    "--range takes word addresses A-B in hexadecimal within 0x0000-0x21FF, such as 0x100-0x1FF");
const QString kNoMemory = QStringLiteral(
    "the range holds no memory of the device (flash 0x0000-0x1FFF, user ID 0x2000-0x2003, "
    "configuration 0x2007, EEPROM 0x2100-0x21FF)");
const QString kRegionError = QStringLiteral("--region takes flash, eeprom or config");
const QString kRangeAndRegion = QStringLiteral("give --range or --region, not both");
const QString kBinaryRegion = QStringLiteral(
    "a .bin file holds one memory: read flash, EEPROM or configuration alone (--region)");
const QString kNotWritable = QStringLiteral("cannot write %1");
const QString kRead = QStringLiteral("read: %1 words of %2 into %3");
const QString kConfigIsFlash = QStringLiteral(
    "kestrel-cli: warning: the bootloader answers a read of 0x2000–0x2007 with flash words "
    "0x0000–0x0007 (the chip cannot read its configuration space): left out of %1");
const QString kStdout = QStringLiteral("-");
const QString kNoStdout = QStringLiteral("kestrel-cli: cannot write standard output: %1");
const QString kWriteFailed = QStringLiteral("kestrel-cli: writing %1 failed: %2");

// Flash, the configuration words, EEPROM: what one .bin file can hold.
int MemoryOf(int word) {
    return word < kFlashWords ? 0 : word < kEepromWord ? 1 : 2;
}

// "A-B", word addresses in hexadecimal, into the span; the reason when it will not do.
QString ParseRange(const QString& text, ReadPlan& plan) {
    static const QRegularExpression form(
        QStringLiteral("^(?:0[xX])?([0-9a-fA-F]{1,4})-(?:0[xX])?([0-9a-fA-F]{1,4})$"));
    const auto match = form.match(text);
    plan.first = match.captured(1).toInt(nullptr, 16);
    plan.end = match.captured(2).toInt(nullptr, 16) + 1;
    if (!match.hasMatch() || plan.first >= plan.end || plan.end > kEndWord) return kRangeError;
    for (int word = plan.first; word < plan.end; ++word)
        if (RegionOf(word) != Region::None) return {};
    return kNoMemory;
}

bool ParseSpan(const CliOptions& options, ReadPlan& plan, QString& error) {
    const int flashStart = options.all ? 0 : kFirstAppWord;
    const auto span = [&plan](int first, int end) {
        plan.first = first;
        plan.end = end;
    };
    if (!options.range.isEmpty() && !options.region.isEmpty()) error = kRangeAndRegion;
    if (options.region == QLatin1String("flash")) span(flashStart, kFlashWords);
    if (options.region == QLatin1String("eeprom")) span(kEepromWord, kEndWord);
    if (options.region == QLatin1String("config"))
        span(kUserIdWord, kUserIdWord + kConfigSpaceWords);
    if (!options.region.isEmpty() && plan.end == 0) error = kRegionError;
    if (options.range.isEmpty() && options.region.isEmpty()) span(flashStart, kEndWord);
    if (!options.range.isEmpty() && error.isEmpty()) error = ParseRange(options.range, plan);
    return error.isEmpty();
}

bool OpenOutput(const QString& out, ReadPlan& plan, QString& error) {
    plan.out = out;
    plan.binary = out.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive);
    if (plan.binary && MemoryOf(plan.first) != MemoryOf(plan.end - 1)) {
        error = kBinaryRegion;
        return false;
    }
    if (out == kStdout) return true;
    const QFileInfo info(out);
    if (info.exists() && !info.isFile())
        plan.file = std::make_unique<QFile>(out);
    else
        plan.file = std::make_unique<QSaveFile>(out);
    if ((info.exists() && !info.isWritable()) || !plan.file->open(QIODevice::WriteOnly)) {
        error = kNotWritable.arg(out);
        return false;
    }
    return true;
}

// The span's words, and flash words 0x0000-0x0007 whenever the configuration space is among
// them: a chip that cannot read that space answers with those.
QList<int> WordsToRead(const ReadPlan& plan) {
    const bool config = plan.first < kUserIdWord + kConfigSpaceWords && plan.end > kUserIdWord;
    QList<int> words;
    for (int word = config ? 0 : plan.first; word < plan.end; ++word)
        if ((word >= plan.first || word < kConfigSpaceWords) && RegionOf(word) != Region::None)
            words.append(word);
    return words;
}

// Whether the configuration words read are flash words 0x0000 on once more. Blank ones tell
// nothing: a chip with a bootloader never has a blank word 0.
bool ConfigIsFlash(const MemoryImage& read) {
    const QList<int> config = read.Words(kUserIdWord, kUserIdWord + kConfigSpaceWords);
    bool blank = true;
    for (const int word : config) {
        if (!read.Has(word - kUserIdWord) || read.Word(word - kUserIdWord) != read.Word(word))
            return false;
        blank = blank && read.Word(word) == kErasedWord;
    }
    return !blank;
}

QByteArray Bytes(const MemoryImage& image, const ReadPlan& plan) {
    if (!plan.binary) return IntelHex::Text(image);
    // Configuration words left out are not made up as blank ones.
    const bool noConfig = image.Words(kUserIdWord, kEepromWord).isEmpty();
    QByteArray bytes;
    for (int word = plan.first; word < plan.end; ++word) {
        if (MemoryOf(word) == 1 && noConfig) continue;
        const quint16 value = image.Word(word);
        bytes.append(char(value & 0xFF));
        if (MemoryOf(word) != 2) bytes.append(char(value >> 8));
    }
    return bytes;
}

// The words of the plan's span, less configuration words that are flash words once more.
MemoryImage Kept(const MemoryImage& read, const ReadPlan& plan, Console& console) {
    const bool configIsFlash = ConfigIsFlash(read);
    if (configIsFlash) console.Message(kConfigIsFlash.arg(plan.out));
    MemoryImage image;
    for (const int word : read.Words(plan.first, plan.end))
        if (!configIsFlash || MemoryOf(word) != 1) image.Set(word, read.Word(word));
    return image;
}

// Why the bytes could not be written, or an empty text.
QString WriteOut(const ReadPlan& plan, const QByteArray& bytes) {
    if (!plan.file) {
        const size_t size = size_t(bytes.size());
        if (std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0)
            return {};
        return kNoStdout.arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    auto* whole = qobject_cast<QSaveFile*>(plan.file.get());
    if (plan.file->write(bytes) == bytes.size() && (whole ? whole->commit() : plan.file->flush()))
        return {};
    return kWriteFailed.arg(plan.out, plan.file->errorString());
}
}  // namespace

std::optional<ReadPlan> PlanRead(const CliOptions& options, QString& error) {
    ReadPlan plan;
    if (!ParseSpan(options, plan, error) || !OpenOutput(options.out, plan, error))
        return std::nullopt;
    return plan;
}

ExitStatus ReadDevice(StepRunner& runner, ReadPlan& plan, Console& console, Report& report) {
    MemoryImage read;
    if (!runner.Run(
            Steps::Read(QStringLiteral("read"), QStringLiteral("Reading"), WordsToRead(plan)),
            read))
        return ExitStatus::DeviceFailure;
    const MemoryImage image = Kept(read, plan, console);
    if (const QString error = WriteOut(plan, Bytes(image, plan)); !error.isEmpty()) {
        console.Message(error);
        return ExitStatus::DeviceFailure;
    }
    const QString line = kRead.arg(image.Words(0, kEndWord).size())
                             .arg(SpanText(plan.first, plan.end - 1, 4), plan.out);
    report.Set(QStringLiteral("out"), plan.out);
    // Standard output carries the data.
    if (plan.file)
        console.Result(line);
    else
        console.Message(line);
    return ExitStatus::Success;
}
