#include <QCoreApplication>
#include <cstdio>

#include "clioptions.h"
#include "clirunner.h"
#include "console.h"

// The composition root of the command line: the same core as the window, another face.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The link titles some messages with the application's name: the window's.
    app.setApplicationName(QStringLiteral("Kestrel"));
    app.setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    QString error;
    const auto options = ParseCliOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "kestrel-cli: %s\n", qPrintable(error));
        return int(ExitStatus::BadUsage);
    }
    Console console(Console::ProgressFor(options->quiet), options->json);
    Report report;
    const ExitStatus status = RunCommand(*options, console, report);
    console.Finish();
    if (options->json) std::fputs(report.Json(status).constData(), stdout);
    return int(status);
}
