// kestrel-cli on several boards and on a resumed run, with the full PIC16F877A image against
// kestrel-sim at its realistic timing (9600 baud, real write times): (a) one board; (b) four
// boards in one run of --port x4, at most 1.10 x (a) with CPU under 5 %; (c) a run cut by an
// unplug after 60 % of its frames, then (d) program --resume on a simulator that holds what
// the first one had written: the resumed part at most 45 % of (a).
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "fullimage.h"
#include "roads.h"
#include "simprocess.h"
#include "testenvironment.h"

namespace {

// The version request, the 248 flash rows and the 16 EEPROM writes.
constexpr int kFrames = 1 + 248 + 16;
constexpr int kCutAfter = 1 + (kFrames - 1) * 60 / 100;

QStringList Program(const QString& hex, const QStringList& ports, const QStringList& more = {}) {
    QStringList arguments;
    for (const QString& port : ports) arguments << QStringLiteral("-p") << port;
    return arguments + QStringList{QStringLiteral("program")} + more + QStringList{hex};
}

// (c) and (d): the cut run, then the resumed one on a simulator loaded with the first's memory.
bool Resumed(const QString& root, const QString& hex, const Measured& one) {
    const QString dump = root + QStringLiteral("/cut.hex");
    Measured cut;
    {
        SimProcess device({QStringLiteral("--com"), QStringLiteral("1"), QStringLiteral("--fault"),
                           QStringLiteral("unplug@%1").arg(kCutAfter), QStringLiteral("--dump"),
                           dump});
        if (!device.Start()) return false;
        cut = Cli(Program(hex, {QStringLiteral("1")}), 1);
        if (!device.WaitForExit()) return false;
    }
    SimProcess device(
        {QStringLiteral("--com"), QStringLiteral("1"), QStringLiteral("--load"), dump});
    if (!device.Start()) return false;
    const Measured resumed = Cli(Program(hex, {QStringLiteral("1")}, {QStringLiteral("--resume")}));
    bool met = Row("(c) cut at 60 % of frames", cut, one.wall, one.wall, "(fails: reference)");
    met = Row("(d) program --resume", resumed, one.wall, one.wall * 0.45, "<= 0.45 x (a)") && met;
    return met;
}

int Run(const QString& root) {
    const QString hex = root + QStringLiteral("/full.hex");
    QFile file(hex);
    if (!file.open(QIODevice::WriteOnly) || file.write(FullImage::HexText()) < 0) return 1;
    file.close();
    std::vector<std::unique_ptr<SimProcess>> devices;
    for (int com = 1; com <= 4; ++com) {
        devices.push_back(std::make_unique<SimProcess>(
            QStringList{QStringLiteral("--com"), QString::number(com)}));
        if (!devices.back()->Start()) {
            std::printf("kestrel-sim did not start\n");
            return 1;
        }
    }
    std::printf("%-26s %8s %8s %7s %7s  %-30s\n", "run", "wall s", "(a) s", "ratio", "cpu",
                "target");
    const Measured one = Cli(Program(hex, {QStringLiteral("1")}));
    bool met = Row("(a) one board", one, one.wall, one.wall, "(reference)");
    const Measured four = Cli(Program(
        hex, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    met =
        Row("(b) four boards, --port x4", four, one.wall, one.wall * 1.10, "<= 1.10 x (a)") && met;
    devices.clear();
    return Resumed(root, hex, one) && met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the simulators' port links go below a private HOME
    if (qEnvironmentVariableIsEmpty("KESTREL_SIM")) qputenv("KESTREL_SIM", KESTREL_SIM_PATH);
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    return Run(environment.ProgramFolder());
}
