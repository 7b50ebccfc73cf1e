#include "simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commandcode.h"
#include "framecodec.h"
#include "simfiles.h"

namespace {
using std::chrono::milliseconds;

// How long after the last reply to a frame marked for unplugging the adapter stays in, unless
// the host starts its next request first; longer than any reply wait of the program.
constexpr milliseconds kUnplugGrace(500);

const QString kReadyText = QStringLiteral("ready %1");
const QString kFrameText = QStringLiteral("#%1 %2");
const QString kFaultText = QStringLiteral("%1 [fault %2]");
const QString kBadChecksumText = QStringLiteral("bad checksum: ignored");
const QString kUnplugText = QStringLiteral("unplugged");
const QString kOutputError = QStringLiteral("kestrel-sim: cannot write its lines: %1\n");

WriteTimes TimesOf(const SimOptions& options) {
    if (!options.realTime) return {};
    return {milliseconds(options.flashMs), milliseconds(options.eepromMs)};
}
}  // namespace

Simulator::Simulator(const SimOptions& options, QObject* parent)
    : QObject(parent),
      m_options(options),
      m_handler(m_memory, options.major, options.minor, TimesOf(options)),
      m_faults(options.faults),
      m_line(options.realTime ? Frame::LineTime(1) : std::chrono::nanoseconds(0)) {
    m_unplugTimer.setSingleShot(true);
    connect(&m_unplugTimer, &QTimer::timeout, this, &Simulator::Unplug);
    connect(&m_port, &PseudoTerminal::Received, this, &Simulator::OnHostBytes);
    connect(&m_line, &LineModel::ByteRead, this, &Simulator::OnByteRead);
    connect(&m_line, &LineModel::Overrun, this, [this] { m_reader.Hunt(); });
    connect(&m_line, &LineModel::Sent, &m_port, &PseudoTerminal::Write);
}

int Simulator::Start(QString& error) {
    if (!m_options.loadPath.isEmpty()) error = SimFiles::LoadMemory(m_memory, m_options.loadPath);
    if (!error.isEmpty()) return kPathRefused;
    if (!m_port.Open(error)) return kNoPort;
    if (!m_port.Link(m_options.linkPath, error)) return kPathRefused;
    if (!m_options.dumpPath.isEmpty()) error = m_dump.Open(m_options.dumpPath);
    if (!error.isEmpty()) return kPathRefused;
    Print(kReadyText.arg(m_port.SlavePath()));
    return 0;
}

bool Simulator::Stop() {
    m_port.Close();
    const QString error = m_options.dumpPath.isEmpty() ? QString() : m_dump.Save(m_memory);
    if (error.isEmpty()) return !m_outputFailed;
    std::fprintf(stderr, "kestrel-sim: %s\n", qPrintable(error));
    return false;
}

void Simulator::OnHostBytes(const QByteArray& bytes) {
    // The adapter comes out as the host starts its next request.
    if (m_unplugPending) {
        Unplug();
        return;
    }
    m_line.Receive(bytes);
}

void Simulator::OnByteRead(quint8 byte, LineModel::Clock::time_point at) {
    switch (m_reader.Feed(byte)) {
        case FrameReader::Result::NeedMore:
            return;
        case FrameReader::Result::Invalid:
            Print(kFrameText.arg(++m_frames).arg(kBadChecksumText));
            break;
        case FrameReader::Result::Valid:
            ++m_frames;
            Serve(m_reader.Payload(), at);
            break;
    }
    if (m_faults.UnplugsAfter(m_frames)) ScheduleUnplug();
}

void Simulator::Serve(const QByteArray& payload, LineModel::Clock::time_point at) {
    const QByteArray stored = m_faults.Stored(m_frames, payload, int(Protocol::kAddressedHeader));
    const HandledRequest outcome = m_handler.Handle(stored);
    const FaultKind fault = stored != payload         ? FaultKind::Corrupt
                            : outcome.reply.isEmpty() ? FaultKind::None
                                                      : m_faults.ReplyFault(m_frames);
    Print(kFrameText.arg(m_frames).arg(
        fault == FaultKind::None ? outcome.text
                                 : kFaultText.arg(outcome.text, FaultInjector::Name(fault))));
    const auto done = at + outcome.writeTime;
    if (outcome.writeTime.count() > 0) m_line.Stall(done);
    if (outcome.reply.isEmpty()) return;
    m_line.Transmit(FaultInjector::Damage(fault, outcome.reply, outcome.dataStart), done);
    // The firmware reads its UART again once the reply's last byte has moved on to the line.
    const auto byteTime = m_options.realTime ? Frame::LineTime(1) : std::chrono::nanoseconds(0);
    m_line.Stall(std::max(done, m_line.TransmitEnd() - byteTime));
}

void Simulator::ScheduleUnplug() {
    m_unplugPending = true;
    const auto untilSent = m_line.TransmitEnd() - LineModel::Clock::now();
    m_unplugTimer.start(std::max(std::chrono::ceil<milliseconds>(untilSent), milliseconds(0)) +
                        kUnplugGrace);
}

void Simulator::Unplug() {
    m_unplugTimer.stop();
    m_unplugPending = false;
    m_port.Close();
    Print(kUnplugText);
    emit Unplugged();
}

// The lines are the user's record of the run: one lost is said once, and fails the run.
void Simulator::Print(const QString& line) {
    if (std::fputs(qPrintable(line + QLatin1Char('\n')), stdout) >= 0 && std::fflush(stdout) == 0)
        return;
    if (!m_outputFailed)
        std::fprintf(stderr, "%s", qPrintable(kOutputError.arg(std::strerror(errno))));
    m_outputFailed = true;
}
