#include "session.h"

#include "clioptions.h"
#include "cliport.h"
#include "clshexcomm.h"
#include "commandcode.h"
#include "connectcommand.h"
#include "console.h"
#include "framecodec.h"
#include "importcommand.h"
#include "portchoice.h"
#include "portdiagnosis.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "report.h"

namespace {
constexpr std::chrono::milliseconds kResetMargin{10};
const QString kLogError = QStringLiteral("kestrel-cli: cannot write the log %1");
const QString kNotImported = QStringLiteral("kestrel-cli: %1 could not be imported");
const QString kPortProblem = QStringLiteral("kestrel-cli: %1: %2");

std::unique_ptr<FrameLog> OpenLog(const QString& path, bool& ready) {
    if (path.isEmpty()) return nullptr;
    auto log = std::make_unique<FrameLog>();
    ready = log->Open(path);
    return log;
}
}  // namespace

Session::Session(const CliOptions& options, Console& console, Report& report)
    : m_console(console),
      m_report(report),
      m_file(options.file),
      m_prompts(console, report, options.file),
      m_port(new CliPort(std::make_unique<QSerialPortAdapter>(),
                         PortChoice::From(options.port).path, OpenLog(options.logPath, m_ready))),
      m_link(std::make_unique<clsHexComm>(std::unique_ptr<SerialPort>(m_port), m_prompts, m_waits)),
      m_host(console, report, *m_port, options.flash, options.eeprom),
      m_context{m_host, m_prompts, m_settings, m_waits,
                options.out.isEmpty() || options.command != QLatin1String("check")
                    ? m_temporaryFolder.path()
                    : options.out} {
    if (!m_ready) m_console.Message(kLogError.arg(options.logPath));
    m_host.State().objHexComm = m_link.get();
    m_host.State().intPortNumber = PortChoice::From(options.port).number;
    m_link->SetFastReplies(options.fast);
}

Session::~Session() = default;

bool Session::Import() {
    const int shown = m_prompts.Shown();
    m_host.ForgetEnabled();
    ImportHexFile(m_context);
    if (m_host.Enabled(CliHost::Connect)) return true;
    // The window ends some failures without a word; the command line must say something.
    if (m_prompts.Shown() == shown) m_console.Message(kNotImported.arg(m_file));
    return false;
}

bool Session::Connect() {
    m_host.ForgetEnabled();
    ConnectToPIC(m_context);
    m_report.Set(QStringLiteral("version"), m_host.PanelText(PanelKey::kBootCodeVersion));
    if (m_host.Enabled(CliHost::Program)) return true;
    ExplainClosedPort();
    return false;
}

bool Session::Program() {
    // The window goes on to EEPROM after a failed flash write and offers Run either way: only
    // a message tells of a failure.
    const int shown = m_prompts.Shown();
    ProgramPIC(m_context);
    m_report.End(m_port->Count());
    return m_prompts.Shown() == shown;
}

bool Session::Run() {
    m_host.ForgetEnabled();
    RunPIC(m_context);
    if (!m_host.Enabled(CliHost::Clear)) return false;
    // Nothing answers the reset: give its frame the line before the port closes at the end.
    m_eventLoopWaits.WaitUntil(
        QDeadlineTimer(std::chrono::ceil<std::chrono::milliseconds>(
                           Frame::LineTime(Frame::Build(Protocol::ResetPayload()).size())) +
                           kResetMargin,
                       Qt::PreciseTimer));
    return true;
}

bool Session::OpenPort() {
    if (m_link->OpenComPort(m_host.State().intPortNumber)) return true;
    ExplainClosedPort();
    return false;
}

QString Session::PortName() const {
    return m_port->OpenedName();
}

void Session::ExplainClosedPort() {
    if (m_link->IsPortOpen()) return;
    m_console.Message(
        kPortProblem.arg(m_port->OpenedName(), PortDiagnosis::Of(m_port->OpenedName())));
}
