#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "signalwatcher.h"
#include "simoptions.h"
#include "simulator.h"
#ifdef KESTREL_CHIP
#include "chipsimulator.h"
#endif

namespace {
const char* const kNoChip =
    "--chip needs gpsim: install gpsim-dev (scripts/deps) and build kestrel-sim again";

template <typename Device>
int Serve(QCoreApplication& app, SignalWatcher& watcher, Device& device) {
    QString error;
    if (const int status = device.Start(error)) {
        std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
        return status;
    }
    QObject::connect(&watcher, &SignalWatcher::Terminated, &app, &QCoreApplication::quit);
    app.exec();
    return device.Stop() ? 0 : 1;
}
}  // namespace

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
    if (options->chip) {
#ifdef KESTREL_CHIP
        ChipSimulator chip(*options);
        return Serve(app, watcher, chip);
#else
        std::fprintf(stderr, "kestrel-sim: %s\n", kNoChip);
        return 2;
#endif
    }
    Simulator simulator(*options);
    QObject::connect(&simulator, &Simulator::Unplugged, &app, &QCoreApplication::quit);
    return Serve(app, watcher, simulator);
}
