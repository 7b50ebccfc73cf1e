#include "clirunner.h"

#include <QScopeGuard>

#include "checkcommand.h"
#include "clioptions.h"
#include "console.h"
#include "portscommand.h"
#include "readcommand.h"
#include "session.h"
#include "verifycommand.h"

namespace {
const QString kProgrammed = QStringLiteral("program: %1 written");
const QString kReset = QStringLiteral("run: device reset");

QString Regions(const CliOptions& options) {
    if (options.flash && options.eeprom) return QStringLiteral("flash and EEPROM");
    return options.flash ? QStringLiteral("flash") : QStringLiteral("EEPROM");
}

ExitStatus Run(Session& session, Console& console) {
    if (!session.Run()) return ExitStatus::DeviceFailure;
    console.Result(kReset);
    return ExitStatus::Success;
}

ExitStatus Program(const CliOptions& options, Session& session, Console& console, Report& report) {
    if (!session.Program()) return ExitStatus::DeviceFailure;
    console.Result(kProgrammed.arg(Regions(options)));
    if (options.verify) {
        const ExitStatus verified =
            VerifyDevice(session, options.flash, options.eeprom, console, report);
        if (verified != ExitStatus::Success) return verified;
    }
    return options.run ? Run(session, console) : ExitStatus::Success;
}

// Every command but ports and check: they need the device.
ExitStatus OnDevice(const CliOptions& options, Session& session, Console& console, Report& report) {
    const auto port = qScopeGuard([&] { report.Set(QStringLiteral("port"), session.PortName()); });
    if (options.command == QLatin1String("run"))
        return session.OpenPort() ? Run(session, console) : ExitStatus::DeviceFailure;
    if (!session.Connect()) return ExitStatus::DeviceFailure;
    if (options.command == QLatin1String("info")) {
        console.Result(session.Context().host.PanelText(PanelKey::kBootCodeVersion));
        return ExitStatus::Success;
    }
    if (options.command == QLatin1String("read"))
        return ReadDevice(session, options.out, options.all, console);
    if (options.command == QLatin1String("verify"))
        return VerifyDevice(session, options.flash, options.eeprom, console, report);
    return Program(options, session, console, report);
}
}  // namespace

ExitStatus RunCommand(const CliOptions& options, Console& console, Report& report) {
    if (options.command == QLatin1String("ports")) return ListPorts(console, report);
    Session session(options, console, report);
    if (!session.Ready()) return ExitStatus::BadUsage;
    if (!options.file.isEmpty()) {
        report.Set(QStringLiteral("file"), options.file);
        if (!session.Import()) return ExitStatus::BadUsage;
    }
    if (options.command == QLatin1String("check"))
        return CheckFile(session, options.file, console, report);
    return OnDevice(options, session, console, report);
}
