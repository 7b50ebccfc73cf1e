#include "chipsimulator.h"

#include <cstdio>

#include "simfiles.h"
#include "simulator.h"

namespace {
// Simulated time per slice: short against a byte's 1.04 ms on the line.
constexpr double kSliceSeconds = 0.002;

const QString kReadyText = QStringLiteral("ready %1");
const QString kPortText = QStringLiteral("PORTB = 0x%1");
const QString kChipError = QStringLiteral("gpsim cannot make a PIC16F877A");
}  // namespace

ChipSimulator::ChipSimulator(const SimOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ChipSimulator::Slice);
    connect(&m_port, &PseudoTerminal::Received, this, [this](const QByteArray& bytes) {
        m_heard = true;
        m_chip.Uart().Send(bytes);
    });
}

int ChipSimulator::Start(QString& error) {
    for (const QString& path : {m_options.firmwarePath, m_options.loadPath}) {
        if (!path.isEmpty()) error = SimFiles::LoadMemory(m_image, path);
        if (!error.isEmpty()) return Simulator::kPathRefused;
    }
    const auto onPortB = [](quint8 value) {
        Print(kPortText.arg(
            QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'))));
    };
    const auto onTx = [this](quint8 byte) { m_port.Write(QByteArray(1, char(byte))); };
    if (!m_chip.Load(m_image, onPortB, onTx)) {
        error = kChipError;
        return Simulator::kNoPort;
    }
    if (!m_port.Open(error)) return Simulator::kNoPort;
    if (!m_port.Link(m_options.linkPath, error)) return Simulator::kPathRefused;
    if (!m_options.dumpPath.isEmpty()) error = m_dump.Open(m_options.dumpPath);
    if (!error.isEmpty()) return Simulator::kPathRefused;
    Print(kReadyText.arg(m_port.SlavePath()));
    m_wallStart = std::chrono::steady_clock::now();
    m_timer.start(0);
    return 0;
}

bool ChipSimulator::Stop() {
    m_timer.stop();
    m_port.Close();
    if (m_options.dumpPath.isEmpty()) return true;
    m_chip.ReadBack(m_image);
    const QString error = m_dump.Save(m_image);
    if (error.isEmpty()) return true;
    std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
    return false;
}

void ChipSimulator::Slice() {
    m_chip.Run(kSliceSeconds);
    // Free running keeps real time until the host first speaks: a loaded application must not
    // start before a host could have caught the bootloader's listening window.
    if (m_options.speed <= 0 && m_heard) {
        m_timer.start(0);
        return;
    }
    const double speed = m_options.speed > 0 ? m_options.speed : 1.0;
    const auto due = m_wallStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                       std::chrono::duration<double>(m_chip.Seconds() / speed));
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
    m_timer.start(std::max(wait, std::chrono::milliseconds(0)));
}

void ChipSimulator::Print(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}
