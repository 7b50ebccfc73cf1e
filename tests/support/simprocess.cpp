#include "simprocess.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QDir>
#include <QTest>
#include <algorithm>

namespace {
constexpr int kPatienceMs = 10000;
}

SimProcess::SimProcess(const QStringList& options) : m_options(options) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimProcess::ReadLines);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setWorkingDirectory(QDir::homePath());
    // A crashed test must not leave the simulator holding CTest's output pipe.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

SimProcess::~SimProcess() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(kPatienceMs)) m_process.kill();
}

bool SimProcess::Start() {
    QStringList arguments = m_options;
    if (!arguments.contains(QStringLiteral("--link")) &&
        !arguments.contains(QStringLiteral("--com")))
        arguments = QStringList{QStringLiteral("--com"), QStringLiteral("1")} + arguments;
    m_process.start(qEnvironmentVariable("KESTREL_SIM"), arguments);
    return WaitForLine(QStringLiteral("ready "));
}

bool SimProcess::WaitForLine(const QString& prefix, int patienceMs) {
    const auto seen = [&] {
        return std::any_of(m_lines.cbegin(), m_lines.cend(),
                           [&](const QString& line) { return line.startsWith(prefix); });
    };
    return QTest::qWaitFor([&] { return seen() || m_process.state() == QProcess::NotRunning; },
                           patienceMs) &&
           seen();
}

bool SimProcess::WaitForExit() {
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(kPatienceMs))
        return false;
    ReadLines();
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

void SimProcess::ReadLines() {
    m_process.setReadChannel(QProcess::StandardOutput);
    while (m_process.canReadLine())
        m_lines.append(QString::fromUtf8(m_process.readLine()).chopped(1));
}
