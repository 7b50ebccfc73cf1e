#include "devicelink.h"

#include "clioptions.h"
#include "cliport.h"
#include "clshexcomm.h"
#include "commandcode.h"
#include "console.h"
#include "framecodec.h"
#include "portchoice.h"
#include "portdiagnosis.h"
#include "qserialportadapter.h"

namespace {
constexpr float kVersionInterval = 0.2F;
constexpr qint16 kVersionRetries = 3;
constexpr qint16 kVersionBytes = 2;
constexpr std::chrono::milliseconds kResetMargin{10};
const QString kConnecting = QStringLiteral("Connecting to PIC...");
const QString kVersion = QStringLiteral("v%1.%2");
const QString kLogError = QStringLiteral("kestrel-cli: cannot write the log %1");
const QString kPortProblem = QStringLiteral("kestrel-cli: %1: %2");

std::unique_ptr<FrameLog> OpenLog(const QString& path, bool& ready) {
    if (path.isEmpty()) return nullptr;
    auto log = std::make_unique<FrameLog>();
    ready = log->Open(path);
    return log;
}
}  // namespace

DeviceLink::DeviceLink(const CliOptions& options, Console& console, Report& report)
    : m_console(console),
      m_portNumber(PortChoice::From(options.port).number),
      m_prompts(console, report),
      m_port(new CliPort(std::make_unique<QSerialPortAdapter>(),
                         PortChoice::From(options.port).path, OpenLog(options.logPath, m_ready))),
      m_link(
          std::make_unique<clsHexComm>(std::unique_ptr<SerialPort>(m_port), m_prompts, m_waits)) {
    if (!m_ready) m_console.Message(kLogError.arg(options.logPath));
    m_link->SetFastReplies(options.fast);
}

DeviceLink::~DeviceLink() = default;

bool DeviceLink::Connect(QString& version) {
    m_console.Begin(kConnecting, 0);
    const bool opened = OpenPort();
    m_link->SetTimeOutInterval(kVersionInterval);
    m_link->SetTimeOutRetries(kVersionRetries);
    QByteArray bytes;
    const bool read = opened && m_link->blnReadBootVersion(kVersionBytes, bytes);
    m_console.Finish();
    if (read) version = kVersion.arg(quint8(bytes.at(1))).arg(quint8(bytes.at(0)));
    return read;
}

bool DeviceLink::OpenPort() {
    if (m_link->OpenComPort(m_portNumber)) return true;
    ExplainClosedPort();
    return false;
}

bool DeviceLink::Reset() {
    if (!m_link->blnResetPIC()) return false;
    // Nothing answers the reset: give its frame the line before the port closes at the end.
    m_waits.WaitUntil(QDeadlineTimer(std::chrono::ceil<std::chrono::milliseconds>(Frame::LineTime(
                                         Frame::Build(Protocol::ResetPayload()).size())) +
                                         kResetMargin,
                                     Qt::PreciseTimer));
    return true;
}

QString DeviceLink::PortName() const {
    return m_port->OpenedName();
}

void DeviceLink::ExplainClosedPort() {
    m_console.Message(
        kPortProblem.arg(m_port->OpenedName(), PortDiagnosis::Of(m_port->OpenedName())));
}
