// CPU cost of the link's waits, and what one flash write exchange costs beyond its own wait.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "clshexcomm.h"
#include "eventloopwaits.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "simprocess.h"
#include "testenvironment.h"
#include "trace.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

Ms CpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    return Ms(ms(usage.ru_utime) + ms(usage.ru_stime));
}

template <typename Wait>
void ReportCpu(const char* what, Wait wait) {
    QElapsedTimer wall;
    const Ms cpuBefore = CpuTime();
    wall.start();
    wait();
    std::printf("%-40s wall %7.1f ms  cpu %6.2f ms  (target < 10 ms cpu)\n", what,
                double(wall.nsecsElapsed()) / 1e6, (CpuTime() - cpuBefore).count());
}

void LinkWaitCpu() {
    Trace trace;
    ScriptedPrompts prompts(trace);
    EventLoopWaits waits;
    clsHexComm link(std::make_unique<FakeSerialPort>(), prompts, waits);
    link.SetTimeOutInterval(1.0F);
    link.SetTimeOutRetries(1);
    link.OpenComPort(1);
    QByteArray data;
    // A silent peer: the exchange is one full wait of the interval plus the frame's line time.
    ReportCpu("link wait, 1 s interval, silent peer", [&] { link.blnReadBootVersion(2, data); });
}

int FlashWriteOverhead() {
    constexpr int kWrites = 40;
    constexpr float kInterval = 0.08F;
    SimProcess sim({QStringLiteral("--baud"), QStringLiteral("0")});
    Trace trace;
    ScriptedPrompts prompts(trace);
    EventLoopWaits waits;
    clsHexComm link(std::make_unique<QSerialPortAdapter>(), prompts, waits);
    link.SetTimeOutInterval(kInterval);
    link.SetTimeOutRetries(1);
    if (!sim.Start() || !link.OpenComPort(1)) {
        std::printf("kestrel-sim did not start\n");
        return 1;
    }
    QByteArray block;
    for (int i = 0; i < 64; ++i) block.append(char(0x20 + i));  // nothing to escape
    const auto frameTime = Ms(Frame::LineTime(64 + 5 + 3)) + Ms(kInterval * 1000.0);
    Ms total{0};
    Ms worst{0};
    for (int i = 0; i < kWrites; ++i) {
        QElapsedTimer wall;
        wall.start();
        if (!link.blnWriteProgram(8, {quint8(0x20 * (i % 8)), quint8(0x01 + i / 8), 0x00}, block)) {
            std::printf("flash write %d failed\n", i + 1);
            return 1;
        }
        const Ms overhead = Ms(double(wall.nsecsElapsed()) / 1e6) - frameTime;
        total += overhead;
        worst = std::max(worst, overhead);
    }
    std::printf("%-40s mean %6.2f ms  worst %6.2f ms  (target < 5 ms)\n",
                "flash write overhead beyond its wait", (total / kWrites).count(), worst.count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the simulator's port link goes below a private HOME
    if (qEnvironmentVariableIsEmpty("KESTREL_SIM")) qputenv("KESTREL_SIM", KESTREL_SIM_PATH);
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    EventLoopWaits waits;
    ReportCpu("WaitUntil 1 s",
              [&] { waits.WaitUntil(QDeadlineTimer(std::chrono::seconds(1), Qt::PreciseTimer)); });
    ReportCpu("Delay 1 s", [&] { waits.Delay(1.0F); });
    LinkWaitCpu();
    return FlashWriteOverhead();
}
