// A whole programming run of a full PIC16F877A image against kestrel-sim at its realistic
// timing, through the real commands and link: wall time against the time the protocol itself
// takes, extra attempts, and CPU time.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "connectcommand.h"
#include "convertedfiles.h"
#include "eventloopwaits.h"
#include "fakehost.h"
#include "framecodec.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "simprocess.h"
#include "testenvironment.h"

namespace {

using Seconds = std::chrono::duration<double>;

constexpr int kFlashLines = (0x2000 - 0x100) / 8;  // 16 bytes, 8 words a line
constexpr int kEEPROMLines = 256 / 16;
constexpr int kWrites = kFlashLines / 4 + kEEPROMLines;
constexpr Seconds kEndWait{1.0};

// The real port, with every frame handed to it counted along with the link's interval then.
class TimedPort : public SerialPort {
public:
    TimedPort() {
        connect(&m_port, &SerialPort::DataReceived, this, &SerialPort::DataReceived);
        connect(&m_port, &SerialPort::Gone, this, &SerialPort::Gone);
    }
    bool Open(const QString& deviceName) override { return m_port.Open(deviceName); }
    void Close() override { m_port.Close(); }
    bool IsOpen() const override { return m_port.IsOpen(); }
    void DiscardInput() override { m_port.DiscardInput(); }
    QByteArray TakeInput() override { return m_port.TakeInput(); }
    bool Write(const QByteArray& bytes) override {
        ++attempts;
        mandated += Frame::LineTime(bytes.size()) + Seconds(link->TimeOutInterval());
        return m_port.Write(bytes);
    }

    void Reset() {
        attempts = 0;
        mandated = Seconds(0);
    }

    const clsHexComm* link = nullptr;
    int attempts = 0;
    Seconds mandated{0};

private:
    QSerialPortAdapter m_port;
};

QString Field(int value) {
    return QStringLiteral(",%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

void WriteConvertedFile(const QString& path, int lines, int firstWord, int wordsPerLine) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int line = 0; line < lines; ++line) {
        const int word = firstWord + line * wordsPerLine;
        QString text = Field(word).mid(1) + Field(word >> 8) + Field(0);
        for (int i = 0; i < 16; ++i) text += Field((word * 2 + i) * 7);
        file.write(text.toLatin1() + "\r\n");
    }
}

double CpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Programs both regions and reports; non-zero when a target is missed or a message was shown.
int Measure(CommandContext& context, TimedPort& port, const Trace& trace) {
    port.Reset();
    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds();
    wall.start();
    ProgramPIC(context);
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = CpuSeconds() - cpuBefore;
    const double mandated = (port.mandated + kEndWait).count();
    const double allowed = mandated * 1.02 + 0.5;
    const int extra = port.attempts - kWrites;
    std::printf("programmed %d flash blocks and %d EEPROM lines\n", kFlashLines / 4, kEEPROMLines);
    std::printf("wall      %8.3f s\n", wallSeconds);
    std::printf("mandated  %8.3f s  (wall within %.3f s: %s)\n", mandated, allowed,
                wallSeconds <= allowed ? "met" : "MISSED");
    std::printf("attempts beyond one per write: %d  (target 0: %s)\n", extra,
                extra == 0 ? "met" : "MISSED");
    std::printf("cpu       %8.3f s = %.2f%% of wall  (target < 5%%: %s)\n", cpu,
                100.0 * cpu / wallSeconds, cpu < 0.05 * wallSeconds ? "met" : "MISSED");
    const QStringList messages = trace.events.filter(QRegularExpression(QStringLiteral("^msg ")));
    for (const QString& message : messages) std::printf("%s\n", qPrintable(message));
    const bool met = wallSeconds <= allowed && extra == 0 && cpu < 0.05 * wallSeconds;
    return met && messages.isEmpty() ? 0 : 1;
}

int Run(const QString& programFolder) {
    SimProcess sim({});
    if (!sim.Start()) {
        std::printf("kestrel-sim did not start\n");
        return 1;
    }
    WriteConvertedFile(ConvertedFiles::PathOf(programFolder, ConvertedFiles::kFlash), kFlashLines,
                       0x100, 8);
    WriteConvertedFile(ConvertedFiles::PathOf(programFolder, ConvertedFiles::kEEPROM), kEEPROMLines,
                       0x2100, 16);
    Trace trace;
    ScriptedPrompts prompts(trace);
    EventLoopWaits waits;
    auto* port = new TimedPort;
    clsHexComm link(std::unique_ptr<SerialPort>(port), prompts, waits);
    port->link = &link;
    FakeHost host(trace);
    host.state.objHexComm = &link;
    host.ticks[Tick::ProgEEPROM] = true;
    Settings settings(QCoreApplication::applicationName());
    CommandContext context{host, prompts, settings, waits, programFolder};
    ConnectToPIC(context);
    return Measure(context, *port, trace);
}

}  // namespace

int main(int argc, char** argv) {
    TestEnvironment environment;  // the simulator's port link goes below a private HOME
    if (qEnvironmentVariableIsEmpty("KESTREL_SIM")) qputenv("KESTREL_SIM", KESTREL_SIM_PATH);
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kestrel"));
    return Run(environment.ProgramFolder());
}
