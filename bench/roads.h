#pragma once

// The two roads the benchmarks time: the window's commands in this process, and kestrel-cli as
// a child (KESTREL_CLI_PATH), each with its wall time, CPU time and success.
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "connectcommand.h"
#include "eventloopwaits.h"
#include "fakehost.h"
#include "forwardingwaits.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "settings.h"

namespace {
using Seconds = std::chrono::duration<double>;

// Passes every wait on, adding up the timed delays: the window's pacing for a person.
class DelayCount : public ForwardingWaits {
public:
    using ForwardingWaits::ForwardingWaits;
    bool Delay(float sngSeconds) override {
        delays += Seconds(sngSeconds);
        return ForwardingWaits::Delay(sngSeconds);
    }

    Seconds delays{0};
};

struct Measured {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

inline double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Import, connect and program through the commands, with the window's own waits.
inline Measured WindowRoad(const QString& hexPath, const QString& folder, Seconds& delays) {
    Trace trace;
    ScriptedPrompts prompts(trace);
    prompts.files = {hexPath};
    EventLoopWaits eventLoopWaits;
    DelayCount waits(eventLoopWaits);
    clsHexComm link(std::make_unique<QSerialPortAdapter>(), prompts, waits);
    FakeHost host(trace);
    host.state.objHexComm = &link;
    host.ticks[Tick::ProgEEPROM] = true;
    Settings settings(QStringLiteral("kestrel-bench"));
    CommandContext context{host, prompts, settings, waits, folder};
    QElapsedTimer wall;
    const double cpuBefore = double(std::clock()) / CLOCKS_PER_SEC;
    wall.start();
    ImportHexFile(context);
    ConnectToPIC(context);
    ProgramPIC(context);
    const Measured measured{double(wall.nsecsElapsed()) / 1e9,
                            double(std::clock()) / CLOCKS_PER_SEC - cpuBefore,
                            trace.events.filter(QStringLiteral("msg ")).isEmpty()};
    delays = waits.delays;
    return measured;
}

// kestrel-cli --quiet with the arguments, to its end; ok when it ends with `status`.
inline Measured Cli(const QStringList& arguments, int status = 0) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;  // the simulator's lines keep flowing meanwhile
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    const double cpuBefore = ChildCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    process.start(QStringLiteral(KESTREL_CLI_PATH),
                  arguments + QStringList{QStringLiteral("--quiet")});
    loop.exec();
    return {double(wall.nsecsElapsed()) / 1e9, ChildCpuSeconds() - cpuBefore,
            process.exitStatus() == QProcess::NormalExit && process.exitCode() == status};
}

// A row: the wall time beside the reference, their ratio and the share of CPU; met when the run
// ended as it should, within the limit and under 5 % CPU.
inline bool Row(const char* name, const Measured& run, double reference, double limit,
                const char* target) {
    const bool met = run.ok && run.wall <= limit && run.cpu < 0.05 * run.wall;
    std::printf("%-26s %8.2f %8.2f %7.3f %6.2f%%  %-30s %s\n", name, run.wall, reference,
                run.wall / reference, 100.0 * run.cpu / run.wall, target,
                met ? "met" : (run.ok ? "MISSED" : "FAILED"));
    return met;
}

}  // namespace
