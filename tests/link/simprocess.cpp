#include "simprocess.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kPatienceMs = 5000;
}

SimProcess::SimProcess(const QStringList& options) : m_options(options) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimProcess::ReadLines);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    WaitFor([this] { return m_process.state() == QProcess::NotRunning; });
}

QString SimProcess::Program() {
    return qEnvironmentVariable("KESTREL_SIM");
}

bool SimProcess::Start() {
    m_process.start(Program(),
                    QStringList{QStringLiteral("--com"), QStringLiteral("1")} + m_options);
    return WaitFor([this] { return m_ready || m_process.state() == QProcess::NotRunning; }) &&
           m_ready;
}

bool SimProcess::WaitForExit() {
    return WaitFor([this] { return m_process.state() == QProcess::NotRunning; }) &&
           m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

int SimProcess::RequestFrames() const {
    int frames = 0;
    for (const QString& line : m_lines) frames += line.startsWith(QLatin1Char('#')) ? 1 : 0;
    return frames;
}

// An event-loop wait that ends when the process says something or stops, or at the timeout.
bool SimProcess::WaitFor(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
    connect(&m_process, &QProcess::stateChanged, &loop, &QEventLoop::quit);
    timeout.start(kPatienceMs);
    while (!done() && timeout.isActive()) loop.exec();
    return done();
}

void SimProcess::ReadLines() {
    m_partial += m_process.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
        if (line.startsWith(QStringLiteral("ready "))) m_ready = true;
        m_lines.append(line);
    }
}
