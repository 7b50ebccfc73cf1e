// The full PIC16F877A image (7936 words from 0x100, 256 EEPROM bytes) programmed through
// Kestrel's firmware in the simulated chip at real time, and through kestrel-sim at its
// realistic timing: the window's road and kestrel-cli program, each with its wall time, the
// retries kestrel-cli reports, and the CPU time of the host and of the device process.
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "fullimage.h"
#include "roads.h"
#include "simprocess.h"
#include "testenvironment.h"

namespace {

// kestrel-cli with --json: its retries over both regions.
Measured CliProgram(const QString& hexPath, int& retries) {
    QProcess process;
    const double cpuBefore = ChildCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    process.start(
        QStringLiteral(KESTREL_CLI_PATH),
        {QStringLiteral("program"), QStringLiteral("--json"), QStringLiteral("--quiet"), hexPath});
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    retries = 0;
    for (const char* region : {"flash", "eeprom"})
        retries += result.value(QLatin1String(region)).toObject().value("retries").toInt();
    return {double(wall.nsecsElapsed()) / 1e9, ChildCpuSeconds() - cpuBefore,
            process.exitCode() == 0};
}

void Print(const char* road, const char* device, const Measured& run, const QString& retries,
           double deviceCpu) {
    std::printf("%-16s %-22s %8.1f %8s %8.2f%% %8.2f%%  %s\n", road, device, run.wall,
                qPrintable(retries), 100.0 * run.cpu / run.wall, 100.0 * deviceCpu / run.wall,
                run.ok ? "ok" : "FAILED");
}

// One road against a fresh device; false when the device did not start or stop.
bool Against(const char* device, const QStringList& options, const QString& hexPath,
             const QString& folder) {
    for (const bool window : {true, false}) {
        const double cpuBefore = ChildCpuSeconds();
        SimProcess sim(options);
        if (!sim.Start()) return false;
        Seconds delays{0};
        int retries = 0;
        const Measured run =
            window ? WindowRoad(hexPath, folder, delays) : CliProgram(hexPath, retries);
        if (!sim.Stop()) return false;
        const double deviceCpu = ChildCpuSeconds() - cpuBefore - (window ? 0 : run.cpu);
        Print(window ? "window road" : "kestrel-cli", device, run,
              window ? QStringLiteral("-") : QString::number(retries), deviceCpu);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the devices' port links go below a private HOME
    if (qEnvironmentVariableIsEmpty("KESTREL_SIM")) qputenv("KESTREL_SIM", KESTREL_SIM_PATH);
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    const QString hexPath = environment.Root() + QStringLiteral("/full.hex");
    QFile hex(hexPath);
    if (!hex.open(QIODevice::WriteOnly) || hex.write(FullImage::HexText()) < 0) return 1;
    hex.close();
    std::printf("%-16s %-22s %8s %8s %9s %9s\n", "road", "device", "wall s", "retries", "host cpu",
                "dev cpu");
    const bool ok = Against("chip, real time", {QStringLiteral("--chip")}, hexPath,
                            environment.ProgramFolder()) &&
                    Against("kestrel-sim", {}, hexPath, environment.ProgramFolder());
    return ok ? 0 : 1;
}
