#pragma once

#include <sys/resource.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <cstdio>

// kestrel-cli runs timed by the benchmarks, and their rows of results.
namespace CliBench {

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

// kestrel-cli --quiet with the arguments, to its end; ok when it ends with `status`.
inline Measured Cli(const QStringList& arguments, int status = 0) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;  // the simulators' lines keep flowing meanwhile
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

}  // namespace CliBench
