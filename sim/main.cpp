#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "signalwatcher.h"
#include "simoptions.h"
#include "simulator.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A reader gone from the other end of its output is reported, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    QString error;
    const auto options = ParseSimOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
        return 2;
    }
    SignalWatcher watcher;
    Simulator simulator(*options);
    if (const int status = simulator.Start(error)) {
        std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
        return status;
    }
    QObject::connect(&watcher, &SignalWatcher::Terminated, &app, &QCoreApplication::quit);
    QObject::connect(&simulator, &Simulator::Unplugged, &app, &QCoreApplication::quit);
    app.exec();
    return simulator.Stop() ? 0 : 1;
}
