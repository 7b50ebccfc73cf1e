#include "programrun.h"

#include "clioptions.h"
#include "console.h"
#include "programplan.h"
#include "steprunner.h"
#include "steps.h"
#include "verifycommand.h"

namespace {
const QString kWritten = QStringLiteral("program: %1 flash rows and %2 EEPROM bytes written");
const QString kNoErase = QStringLiteral(
    "kestrel-cli: the bootloader does not answer the erase command: writing blank rows instead");

// Blanks 0x100 to 0x1FFF: with the erase command, or with blank rows where the bootloader
// does not answer its first erase.
bool EraseApplication(StepRunner& runner, Console& console) {
    const Step erase = Steps::Erase();
    MemoryImage none;
    if (runner.Run(erase, none)) return true;
    if (runner.Done() > 0) return false;
    console.Message(kNoErase);
    ProgramPlan blank;
    Step rows = Steps::WriteRows(none, blank.OtherRows(), none);
    rows.name = erase.name;
    rows.label = erase.label;
    return runner.Run(rows, none);
}
}  // namespace

ExitStatus ProgramDevice(StepRunner& runner, const ProgramPlan& plan, const CliOptions& options,
                         Console& console, Report& report) {
    if (options.erase && !EraseApplication(runner, console)) return ExitStatus::DeviceFailure;
    MemoryImage base;  // empty: the rest of each row is erased filler
    if (options.keep && !plan.rows.isEmpty()) {
        const Step read = Steps::Read(QStringLiteral("keep"), QStringLiteral("Reading rows"),
                                      plan.Expected(base).Words(0, DeviceMap::kFlashWords));
        if (!runner.Run(read, base)) return ExitStatus::DeviceFailure;
    }
    const Step eeprom = Steps::WriteEeprom(plan.file);
    if ((!plan.rows.isEmpty() && !runner.Run(Steps::WriteRows(plan.file, plan.rows, base), base)) ||
        (!eeprom.exchanges.isEmpty() && !runner.Run(eeprom, base)))
        return ExitStatus::DeviceFailure;
    console.Result(kWritten.arg(plan.rows.size())
                       .arg(plan.file.Words(DeviceMap::kEepromWord, DeviceMap::kEndWord).size()));
    if (!options.verify) return ExitStatus::Success;
    return VerifyDevice(runner, plan.Expected(base),
                        options.erase ? plan.OtherRows() : QList<int>{}, console, report);
}
