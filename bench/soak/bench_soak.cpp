// 200 import-connect-program-run cycles of a small file against one kestrel-sim --baud 0, all in
// one process, through the real commands, link and port: resident memory and open descriptors
// before, after the first cycle (the baseline: from then on the port and its lock file stay
// open, and once-only allocations are done), every 50 cycles and at the end. The timed delays
// cost nothing here; the link's waits for replies are real. The simulator's lines are not kept,
// so that only Kestrel's own memory is measured.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "connectcommand.h"
#include "eventloopwaits.h"
#include "fakehost.h"
#include "importcommand.h"
#include "portpath.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "testenvironment.h"

namespace {

constexpr int kCycles = 200;
constexpr int kReportEvery = 50;
constexpr double kGrowthTarget = 0.05;

class NoDelays : public EventLoopWaits {
public:
    bool Delay(float) override { return !Stopped(); }
};

struct Sample {
    long residentKiB;
    qsizetype descriptors;
};

Sample Measure() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    const long pages = statm.readAll().split(' ').value(1).toLong();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    return {pages * sysconf(_SC_PAGESIZE) / 1024,
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()};
}

void Print(int cycle, const Sample& sample) {
    std::printf("cycle %3d: resident %6ld KiB, open descriptors %lld\n", cycle, sample.residentKiB,
                static_cast<long long>(sample.descriptors));
}

// One cycle; true when it ends with only clear, view and exit on and no message was shown.
bool Cycle(CommandContext& context, Trace& trace, ScriptedPrompts& prompts) {
    trace.events.clear();
    prompts.files = {QStringLiteral(KESTREL_HEX_PATH)};
    ImportHexFile(context);
    ConnectToPIC(context);
    ProgramPIC(context);
    RunPIC(context);
    const QStringList groups = trace.events.filter(QStringLiteral("enable "));
    return trace.events.filter(QStringLiteral("msg ")).isEmpty() && !groups.isEmpty() &&
           groups.last() == QStringLiteral("enable 0110001");
}

// Prints the figures against their targets; true when all are met.
bool Report(const Sample& start, const Sample& end, int failures) {
    const double growth = double(end.residentKiB - start.residentKiB) / double(start.residentKiB);
    const bool memoryMet = growth < kGrowthTarget;
    const bool descriptorsMet = end.descriptors == start.descriptors;
    std::printf("memory growth %.1f%% (target < 5%%: %s)\n", 100.0 * growth,
                memoryMet ? "met" : "MISSED");
    std::printf("descriptors %lld -> %lld (target flat: %s)\n",
                static_cast<long long>(start.descriptors), static_cast<long long>(end.descriptors),
                descriptorsMet ? "met" : "MISSED");
    std::printf("failed cycles %d (target 0: %s)\n", failures, failures == 0 ? "met" : "MISSED");
    return memoryMet && descriptorsMet && failures == 0;
}

// The simulator as Com 1, its output discarded; true once its link is in place.
bool StartSimulator(QProcess& sim) {
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    sim.start(QStringLiteral(KESTREL_SIM_PATH), {"--com", "1", "--baud", "0"});
    for (int tries = 0; tries < 1000 && sim.state() != QProcess::NotRunning; ++tries) {
        if (QFileInfo(PortPath::LinkPath(1)).isSymLink()) return true;
        QThread::msleep(10);
    }
    return false;
}

int Run(const QString& programFolder) {
    QProcess sim;
    if (!StartSimulator(sim)) {
        std::printf("kestrel-sim did not start\n");
        return 1;
    }
    Trace trace;
    ScriptedPrompts prompts(trace);
    NoDelays waits;
    clsHexComm link(std::make_unique<QSerialPortAdapter>(), prompts, waits);
    FakeHost host(trace);
    host.state.objHexComm = &link;
    host.ticks[Tick::ProgEEPROM] = true;
    Settings settings(QCoreApplication::applicationName());
    CommandContext context{host, prompts, settings, waits, programFolder};
    Print(0, Measure());
    int failures = 0;
    Sample start{}, end{};
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        if (!Cycle(context, trace, prompts)) ++failures;
        if (cycle == 1) Print(cycle, start = Measure());
        if (cycle % kReportEvery == 0) Print(cycle, end = Measure());
    }
    sim.terminate();
    sim.waitForFinished();
    return Report(start, end, failures) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the simulator's port link goes below a private HOME
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    return Run(environment.ProgramFolder());
}
