#include "devicelink.h"

#include "clioptions.h"
#include "cliport.h"
#include "clshexcomm.h"
#include "commandcode.h"
#include "console.h"
#include "framecodec.h"
#include "portdiagnosis.h"
#include "qserialportadapter.h"
#include "waits.h"

namespace {
constexpr float kVersionInterval = 0.2F;
constexpr qint16 kVersionBytes = 2;
constexpr std::chrono::milliseconds kResetMargin{10};
constexpr std::chrono::milliseconds kReopenPause{250};
const QString kConnecting = QStringLiteral("Connecting to PIC...");
const QString kVersion = QStringLiteral("v%1.%2");
const QString kPort = QStringLiteral("port: %1");
const QString kPortProblem = QStringLiteral("kestrel-cli: %1: %2");
const QString kNoVersion = QStringLiteral("kestrel-cli: asking for the version failed: %1");
const QString kWaiting =
    QStringLiteral("waiting for the bootloader on %1: press the board's reset button");
const QString kNoAnswer =
    QStringLiteral("kestrel-cli: no answer from the bootloader on %1 within %2 s");
const QString kResetFailed = QStringLiteral("kestrel-cli: reset failed: %1");
const QString kInterrupted = QStringLiteral("interrupted");
const QString kGone = QStringLiteral("%1 went away (the adapter unplugged?)");

// "v1.0": the second byte, a point and the first.
QString VersionText(const QByteArray& bytes) {
    return kVersion.arg(quint8(bytes.at(1))).arg(quint8(bytes.at(0)));
}

std::unique_ptr<FrameLog> FrameLogFor(LogFile* log, Console& console, const QString& port) {
    if (!log && !console.Verbosity()) return nullptr;
    return std::make_unique<FrameLog>(log, &console, port);
}
}  // namespace

DeviceLink::DeviceLink(const PortChoice& port, const CliOptions& options, Waits& waits,
                       Console& console, LogFile* log)
    : m_console(console),
      m_waits(waits),
      m_choice(port),
      m_retries(options.retries),
      m_waitSeconds(options.waitSeconds),
      m_prompts(console),
      m_port(new CliPort(std::make_unique<QSerialPortAdapter>(), port.path,
                         FrameLogFor(log, console, port.Device()))),
      m_link(std::make_unique<clsHexComm>(std::unique_ptr<SerialPort>(m_port), m_prompts, waits)) {
    m_link->SetFastReplies(!options.paced);
}

DeviceLink::~DeviceLink() = default;

bool DeviceLink::Connect(QString& version) {
    m_console.Begin(kConnecting, 0);
    QByteArray bytes;
    const bool read =
        m_waitSeconds > 0 ? WaitForBootloader(bytes) : Open(false) && AskVersion(bytes);
    m_console.Finish();
    if (read) version = VersionText(bytes);
    return read;
}

bool DeviceLink::Answers(QString& version) {
    QByteArray bytes;
    if (!Open(true) || !RequestVersion(bytes)) return false;
    version = VersionText(bytes);
    return true;
}

bool DeviceLink::OpenPort() {
    return Open(false);
}

bool DeviceLink::Open(bool quiet) {
    if (m_link->OpenComPort(m_choice.number)) {
        // Once, where no board's name says it.
        if (m_console.Alone() && !m_announced) m_console.Message(kPort.arg(m_choice.Label()));
        m_announced = true;
        return true;
    }
    if (!quiet) m_console.Message(kPortProblem.arg(PortName(), PortDiagnosis::Of(PortName())));
    return false;
}

bool DeviceLink::RequestVersion(QByteArray& bytes) {
    return Attempt(kVersionInterval,
                   [&] { return m_link->blnReadBootVersion(kVersionBytes, bytes); });
}

bool DeviceLink::AskVersion(QByteArray& bytes) {
    if (RequestVersion(bytes)) return true;
    m_console.Message(kNoVersion.arg(Cause()));
    return false;
}

// Asks once an attempt until the deadline; a port that is not there yet, or goes while the
// board resets, is opened again.
bool DeviceLink::WaitForBootloader(QByteArray& bytes) {
    const QDeadlineTimer deadline(std::chrono::milliseconds(qint64(m_waitSeconds * 1000)));
    bool told = false;
    while (!m_waits.Stopped()) {
        const bool open = m_link->IsPortOpen() || Open(true);
        m_link->SetTimeOutInterval(kVersionInterval);
        m_link->SetTimeOutRetries(1);
        if (open && m_link->blnReadBootVersion(kVersionBytes, bytes)) return true;
        if (!told) m_console.Message(kWaiting.arg(m_choice.Label()));
        told = true;
        if (deadline.hasExpired()) {
            m_console.Message(kNoAnswer.arg(m_choice.Label()).arg(m_waitSeconds));
            return false;
        }
        if (!open) m_waits.WaitUntil(QDeadlineTimer(kReopenPause));
    }
    m_console.Message(kNoVersion.arg(kInterrupted));
    return false;
}

bool DeviceLink::Reset() {
    if (!m_link->blnResetPIC()) {
        m_console.Message(kResetFailed.arg(Cause()));
        return false;
    }
    // Nothing answers the reset: give its frame the line before the port closes at the end.
    m_waits.WaitUntil(QDeadlineTimer(std::chrono::ceil<std::chrono::milliseconds>(Frame::LineTime(
                                         Frame::Build(Protocol::ResetPayload()).size())) +
                                         kResetMargin,
                                     Qt::PreciseTimer));
    return true;
}

bool DeviceLink::Attempt(float interval, const std::function<bool()>& request) {
    m_link->SetTimeOutInterval(interval);
    m_link->SetTimeOutRetries(1);
    for (int attempt = 0; attempt < m_retries; ++attempt) {
        if (request()) return true;
        if (m_waits.Stopped() || !m_link->IsPortOpen()) return false;
    }
    return false;
}

QString DeviceLink::Cause() const {
    if (m_waits.Stopped()) return kInterrupted;
    if (!m_link->IsPortOpen()) return kGone.arg(PortName());
    return m_prompts.Last();
}

bool DeviceLink::Interrupted() const {
    return m_waits.Stopped();
}

QString DeviceLink::PortName() const {
    return m_port->OpenedName().isEmpty() ? m_choice.Device() : m_port->OpenedName();
}
