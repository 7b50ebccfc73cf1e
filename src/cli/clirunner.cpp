#include "clirunner.h"

#include <QScopeGuard>

#include "checkcommand.h"
#include "clioptions.h"
#include "console.h"
#include "devicelink.h"
#include "imagecheck.h"
#include "portscommand.h"
#include "programplan.h"
#include "programrun.h"
#include "readcommand.h"
#include "steprunner.h"
#include "verifycommand.h"

namespace {
const QString kUsage = QStringLiteral("kestrel-cli: %1");
const QString kWarning = QStringLiteral("kestrel-cli: warning: %1");
const QString kError = QStringLiteral("kestrel-cli: error: %1");
const QString kReset = QStringLiteral("run: device reset");
const QString kWorkOnFlash = QStringLiteral("--%1 works on flash: leave out --eeprom");

// What must hold before the port opens.
struct Prepared {
    ProgramPlan plan;
    std::optional<ReadPlan> read;
};

// Refusals, warnings and the output of read, all before the port opens; false: status 2.
bool Prepare(const CliOptions& options, const IntelHex::Reading& reading, Prepared& prepared,
             Console& console, Report& report) {
    QString error;
    if (options.command == QLatin1String("read")) {
        prepared.read = PlanRead(options, error);
    } else if (!options.flash && (options.erase || options.keep)) {
        error = kWorkOnFlash.arg(options.erase ? QStringLiteral("erase") : QStringLiteral("keep"));
    } else if (!options.file.isEmpty()) {
        const ImageCheck check = CheckImage(reading, options.flash, options.eeprom);
        report.Set(QStringLiteral("warnings"), QJsonArray::fromStringList(check.warnings));
        for (const QString& warning : check.warnings)
            console.Message((options.strict ? kError : kWarning).arg(warning));
        for (const QString& refusal : check.refusals) console.Message(kUsage.arg(refusal));
        prepared.plan = ProgramPlan::Of(reading.image, options.flash, options.eeprom);
        return check.refusals.isEmpty() && !(options.strict && !check.warnings.isEmpty());
    }
    if (!error.isEmpty()) console.Message(kUsage.arg(error));
    return error.isEmpty();
}

ExitStatus Run(DeviceLink& link, Console& console) {
    if (!link.Reset()) return ExitStatus::DeviceFailure;
    console.Result(kReset);
    return ExitStatus::Success;
}

// Every command but ports and check: they need the device.
ExitStatus OnDevice(const CliOptions& options, Prepared& prepared, DeviceLink& link,
                    Console& console, Report& report) {
    const auto port = qScopeGuard([&] { report.Set(QStringLiteral("port"), link.PortName()); });
    if (options.command == QLatin1String("run"))
        return link.OpenPort() ? Run(link, console) : ExitStatus::DeviceFailure;
    QString version;
    const bool connected = link.Connect(version);
    report.Set(QStringLiteral("version"), version);
    if (!connected) return ExitStatus::DeviceFailure;
    if (options.command == QLatin1String("info")) {
        console.Result(version);
        return ExitStatus::Success;
    }
    StepRunner runner(link.Link(), link.Port(), console, report);
    if (options.command == QLatin1String("read"))
        return ReadDevice(runner, *prepared.read, console, report);
    const ProgramPlan& plan = prepared.plan;
    if (options.command == QLatin1String("verify"))
        return VerifyDevice(runner, options.keep ? plan.file : plan.Expected({}),
                            options.erased ? plan.OtherRows() : QList<int>{}, console, report);
    const ExitStatus programmed = ProgramDevice(runner, plan, options, console, report);
    if (programmed != ExitStatus::Success || !options.run) return programmed;
    return Run(link, console);
}
}  // namespace

ExitStatus RunCommand(const CliOptions& options, Console& console, Report& report) {
    if (options.command == QLatin1String("ports")) return ListPorts(console, report);
    IntelHex::Reading reading;
    if (!options.file.isEmpty()) {
        report.Set(QStringLiteral("file"), options.file);
        reading = IntelHex::Read(options.file);
        if (!reading.error.isEmpty()) {
            console.Message(kUsage.arg(reading.error));
            return ExitStatus::BadUsage;
        }
    }
    if (options.command == QLatin1String("check"))
        return CheckFile(reading, options, console, report);
    Prepared prepared;
    if (!Prepare(options, reading, prepared, console, report)) return ExitStatus::BadUsage;
    DeviceLink link(options, console, report);
    if (!link.Ready()) return ExitStatus::BadUsage;
    return OnDevice(options, prepared, link, console, report);
}
