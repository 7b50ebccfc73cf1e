#include "clirunner.h"

#include <QFileInfo>
#include <QScopeGuard>

#include "boards.h"
#include "checkcommand.h"
#include "clioptions.h"
#include "cliport.h"
#include "console.h"
#include "devicelink.h"
#include "eventloopwaits.h"
#include "framelog.h"
#include "imagecheck.h"
#include "interruption.h"
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
const QString kLogError = QStringLiteral("cannot write the log %1");
const QString kLogFailed = QStringLiteral("kestrel-cli: writing the log %1 failed: %2");
const QString kAllAlone = QStringLiteral("--port all stands alone: give it without other ports");
const QString kTwice = QStringLiteral("--port %1 and %2 are the same port");
const QString kReadOnOne = QStringLiteral("read takes one port: give one --port");

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

// The boards of the run, each a port once; the reason when they will not do.
QString ChoosePorts(const CliOptions& options, QList<PortChoice>& ports) {
    for (const QString& option : options.ports.isEmpty() ? QStringList{QString()} : options.ports) {
        if (option == QLatin1String("all")) {
            if (options.ports.size() > 1) return kAllAlone;
            continue;
        }
        const PortChoice port = PortChoice::From(option);
        for (const PortChoice& other : ports)
            if (QFileInfo(other.Device()).absoluteFilePath() ==
                QFileInfo(port.Device()).absoluteFilePath())
                return kTwice.arg(other.Name(), port.Name());
        ports.append(port);
    }
    const bool several = ports.size() != 1;
    if (several && options.command == QLatin1String("read")) return kReadOnOne;
    return {};
}

ExitStatus Run(DeviceLink& link, Console& console) {
    if (!link.Reset()) return ExitStatus::DeviceFailure;
    console.Result(kReset);
    return ExitStatus::Success;
}

// Every command but ports and check: they need the device.
ExitStatus OnDevice(const CliOptions& options, Prepared& prepared, DeviceLink& link,
                    Console& console, Report& report) {
    if (options.command == QLatin1String("run") && options.waitSeconds == 0)
        return link.OpenPort() ? Run(link, console) : ExitStatus::DeviceFailure;
    QString version;
    const bool connected = link.Connect(version);
    report.Set(QStringLiteral("version"), version);
    if (!connected) return ExitStatus::DeviceFailure;
    if (options.command == QLatin1String("info")) {
        console.Result(version);
        return ExitStatus::Success;
    }
    if (options.command == QLatin1String("run")) return Run(link, console);
    StepRunner runner(link, console, report);
    if (options.command == QLatin1String("read"))
        return ReadDevice(runner, *prepared.read, console, report);
    const ProgramPlan& plan = prepared.plan;
    if (options.command == QLatin1String("verify"))
        return VerifyDevice(runner, options.keep ? plan.file : plan.Expected({}),
                            options.erased ? plan.OtherRows() : QList<int>{}, console, report);
    const ExitStatus programmed = ProgramDevice(runner, link, plan, options, console, report);
    if (programmed != ExitStatus::Success || !options.run) return programmed;
    return Run(link, console);
}

// The command on one board, with the waits it is given.
ExitStatus OnPort(const PortChoice& port, const CliOptions& options, Prepared& prepared,
                  LogFile* log, Waits& waits, Console& console, Report& report) {
    DeviceLink link(port, options, waits, console, log);
    const auto end = qScopeGuard([&] {
        const WireCount count = link.Port().Count();
        report.Set(QStringLiteral("port"), link.PortName());
        report.Set(QStringLiteral("retries"), count.attempts - count.blocks);
    });
    return OnDevice(options, prepared, link, console, report);
}
}  // namespace

ExitStatus RunCommand(const CliOptions& options, Screen& screen, Console& console, Report& report,
                      Interruption& interruption) {
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
    QList<PortChoice> ports;
    if (const QString error = ChoosePorts(options, ports); !error.isEmpty()) {
        console.Message(kUsage.arg(error));
        return ExitStatus::BadUsage;
    }
    if (!Prepare(options, reading, prepared, console, report)) return ExitStatus::BadUsage;
    LogFile log;
    if (!options.logPath.isEmpty() && !log.Open(options.logPath)) {
        console.Message(kUsage.arg(kLogError.arg(options.logPath)));
        return ExitStatus::BadUsage;
    }
    const auto onPort = [&](const PortChoice& port, Waits& waits, Console& board, Report& result) {
        return OnPort(port, options, prepared, options.logPath.isEmpty() ? nullptr : &log, waits,
                      board, result);
    };
    ExitStatus status;
    if (ports.size() == 1) {
        EventLoopWaits waits;
        interruption.Add(&waits);
        status = onPort(ports.first(), waits, console, report);
        interruption.Remove(&waits);
    } else {
        status = RunBoards(ports, options, onPort, screen, console, report, interruption);
    }
    if (!log.Error().isEmpty()) {
        console.Message(kLogFailed.arg(options.logPath, log.Error()));
        status = Worst(status, ExitStatus::DeviceFailure);
    }
    return status;
}
