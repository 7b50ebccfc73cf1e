#include <QCoreApplication>
#include <csignal>

#include "clioptions.h"
#include "clirunner.h"
#include "console.h"
#include "interruption.h"
#include "screen.h"
#include "signalwatcher.h"

namespace {
const QString kUsage = QStringLiteral("kestrel-cli: %1");
const QString kNoOutput = QStringLiteral("kestrel-cli: cannot write standard output: %1");

// Help, the version, or a usage error (with --json as an object too).
int Told(const CommandLine& line) {
    Screen screen(Screen::Progress::Off);
    if (!line.error) {
        screen.Out(line.text.toLocal8Bit());
        return int(ExitStatus::Success);
    }
    Console console(screen, {}, false, false);
    console.Message(kUsage.arg(line.text));
    if (line.json) screen.Out(Report().Json(ExitStatus::BadUsage, console.Messages()));
    return int(ExitStatus::BadUsage);
}
}  // namespace

// The composition root of the command line: the same core as the window, another face.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The link titles some messages with the application's name: the window's.
    app.setApplicationName(QStringLiteral("Kestrel"));
    app.setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    // A reader gone from standard output is reported as a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    SignalWatcher watcher;
    const CommandLine line =
        ParseCommandLine(app.arguments(), qEnvironmentVariable("KESTREL_PORT"));
    if (!line.options) return Told(line);
    const CliOptions& options = *line.options;
    Screen screen(Screen::ProgressFor(options.quiet));
    Console console(screen, {}, options.json, options.verbose);
    Report report;
    Interruption interruption;
    QObject::connect(&watcher, &SignalWatcher::Terminated,
                     [&interruption](int signal) { interruption.Stop(signal); });
    ExitStatus status = RunCommand(options, screen, console, report, interruption);
    if (interruption.Signal() != 0) status = ExitStatus(128 + interruption.Signal());
    screen.Close();
    if (options.json) screen.Out(report.Json(status, console.Messages()));
    if (!screen.OutputError().isEmpty()) {
        console.Message(kNoOutput.arg(screen.OutputError()));
        status = Worst(status, ExitStatus::DeviceFailure);
    }
    return int(status);
}
