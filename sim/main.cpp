#include <QCoreApplication>
#include <cstdio>

#include "signalwatcher.h"
#include "simoptions.h"
#include "simulator.h"

int main(int argc, char** argv) {
    SignalWatcher::BlockSignals();
    QCoreApplication app(argc, argv);
    QString error;
    const auto options = ParseSimOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
        return 2;
    }
    Simulator simulator(*options);
    if (!simulator.Start(error)) {
        std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
        return 1;
    }
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::Terminated, &app, &QCoreApplication::quit);
    QObject::connect(&simulator, &Simulator::Unplugged, &app, &QCoreApplication::quit);
    app.exec();
    return simulator.Stop() ? 0 : 1;
}
