#include "programrun.h"

#include <QCryptographicHash>
#include <QScopeGuard>

#include "clioptions.h"
#include "clshexcomm.h"
#include "console.h"
#include "devicelink.h"
#include "hextext.h"
#include "intelhex.h"
#include "journal.h"
#include "programplan.h"
#include "steprunner.h"
#include "steps.h"
#include "verifycommand.h"

namespace {
const QString kWritten = QStringLiteral("program: %1 flash rows and %2 EEPROM bytes written");
const QString kNoErase = QStringLiteral(
    "kestrel-cli: the bootloader does not answer the erase command: writing blank rows instead");
const QString kStopped = QStringLiteral("kestrel-cli: %1");
const QString kFromStart = QStringLiteral("kestrel-cli: %1: programming from the beginning");
const QString kResuming = QStringLiteral("kestrel-cli: resuming: %1");
const QString kDiffers =
    QStringLiteral("the device's words at %1 differ from what the last run wrote there");
const QString kNoJournal = QStringLiteral("kestrel-cli: warning: no journal for --resume (%1): %2");

// The image and the way it is written: a journal is only good for the same.
QByteArray Identity(const ProgramPlan& plan, const CliOptions& options) {
    const QByteArray way = options.erase ? "erase" : options.keep ? "keep" : "rows";
    return QCryptographicHash::hash(IntelHex::Text(plan.file) + way, QCryptographicHash::Sha256)
        .toHex();
}

// Where the last run left off, when the device still holds the last write it had
// acknowledged; otherwise nothing, and why. False when the read-back itself fails.
bool Resumable(StepRunner& runner, Journal& journal, const QList<Step>& writes,
               QMap<QString, int>& done, Console& console) {
    QString why;
    done = journal.Last(why);
    const Exchange* last = nullptr;
    QStringList confirmed;
    for (const Step& step : writes) {
        const int count = done.value(step.name);
        if (count <= 0 || count > step.exchanges.size()) continue;
        last = &step.exchanges[count - 1];
        confirmed.append(Steps::Confirmed(step, count));
    }
    if (last) {
        const MemoryImage expected = Steps::Written(*last);
        const QList<int> words = expected.Words(0, DeviceMap::kEndWord);
        MemoryImage device;
        if (!runner.Run(
                Steps::Read(QStringLiteral("resume"), QStringLiteral("Reading back"), words),
                device))
            return false;
        for (const int word : words)
            if ((device.Word(word) ^ expected.Word(word)) & DeviceMap::MaskOf(word))
                why = kDiffers.arg(SpanText(words.first(), words.last(), 4));
    } else if (why.isEmpty()) {
        why = QStringLiteral("the journal holds nothing to skip");
    }
    if (why.isEmpty()) {
        console.Message(kResuming.arg(confirmed.join(QStringLiteral("; "))));
        return true;
    }
    console.Message(kFromStart.arg(why));
    done.clear();
    return true;
}

// Blanks 0x100 to 0x1FFF: with the erase command, or with blank rows where the bootloader
// does not answer its first erase.
// `erase` becomes the blank rows when they are written instead.
bool Erase(StepRunner& runner, DeviceLink& link, Step& erase, qsizetype from, Console& console) {
    MemoryImage none;
    if (runner.Run(erase, none, from)) return true;
    if (runner.Done() > 0 || link.Interrupted() || !link.Link().IsPortOpen()) return false;
    console.Message(kNoErase);
    erase = Steps::WriteRows(none, ProgramPlan().OtherRows(), none);
    erase.name = QStringLiteral("blank");
    erase.label = QStringLiteral("Writing blank rows");
    return runner.Run(erase, none);
}

// What the writes had acknowledged when the one at `failed` failed.
QString Confirmed(const QList<Step>& writes, qsizetype failed, qsizetype acknowledged) {
    QStringList parts;
    for (qsizetype i = 0; i < writes.size(); ++i)
        parts.append(Steps::Confirmed(writes[i], i < failed    ? writes[i].exchanges.size()
                                                 : i == failed ? acknowledged
                                                               : 0));
    return parts.join(QStringLiteral("; "));
}
}  // namespace

ExitStatus ProgramDevice(StepRunner& runner, DeviceLink& link, const ProgramPlan& plan,
                         const CliOptions& options, Console& console, Report& report) {
    MemoryImage base;  // empty: the rest of each row is erased filler
    if (options.keep && !plan.rows.isEmpty()) {
        const Step read = Steps::Read(QStringLiteral("keep"), QStringLiteral("Reading rows"),
                                      plan.Expected(base).Words(0, DeviceMap::kFlashWords));
        if (!runner.Run(read, base)) return ExitStatus::DeviceFailure;
    }
    QList<Step> writes;
    if (options.erase) writes.append(Steps::Erase());
    if (!plan.rows.isEmpty()) writes.append(Steps::WriteRows(plan.file, plan.rows, base));
    if (const Step eeprom = Steps::WriteEeprom(plan.file); !eeprom.exchanges.isEmpty())
        writes.append(eeprom);
    Journal journal(link.PortName(), Identity(plan, options));
    QMap<QString, int> done;
    if (options.resume && !Resumable(runner, journal, writes, done, console))
        return ExitStatus::DeviceFailure;
    if (QString error; !journal.Start(done, error))
        console.Message(kNoJournal.arg(link.PortName(), error));
    runner.Record(&journal);
    // The runner outlives the journal.
    const auto unrecord = qScopeGuard([&runner] { runner.Record(nullptr); });
    for (qsizetype i = 0; i < writes.size(); ++i) {
        Step& step = writes[i];
        const qsizetype from = done.value(step.name);
        if (i == 0 && options.erase ? Erase(runner, link, step, from, console)
                                    : runner.Run(step, base, from))
            continue;
        console.Message(kStopped.arg(Confirmed(writes, i, runner.Done())));
        return ExitStatus::DeviceFailure;
    }
    journal.Remove();
    console.Result(kWritten.arg(plan.rows.size())
                       .arg(plan.file.Words(DeviceMap::kEepromWord, DeviceMap::kEndWord).size()));
    if (!options.verify) return ExitStatus::Success;
    return VerifyDevice(runner, plan.Expected(base),
                        options.erase ? plan.OtherRows() : QList<int>{}, console, report);
}
