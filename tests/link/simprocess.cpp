#include "simprocess.h"

#include <algorithm>

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
    m_process.waitForFinished(kPatienceMs);
}

QString SimProcess::Program() {
    return qEnvironmentVariable("KESTREL_SIM");
}

bool SimProcess::Start() {
    m_process.start(Program(),
                    QStringList{QStringLiteral("--com"), QStringLiteral("1")} + m_options);
    while (!m_ready && m_process.waitForReadyRead(kPatienceMs)) {
    }
    return m_ready;
}

bool SimProcess::WaitForExit() {
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(kPatienceMs))
        return false;
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

int SimProcess::RequestFrames() const {
    return int(std::count_if(m_lines.cbegin(), m_lines.cend(), [](const QString& line) {
        return line.startsWith(QLatin1Char('#'));
    }));
}

void SimProcess::ReadLines() {
    while (m_process.canReadLine()) {
        const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
        m_ready = m_ready || line.startsWith(QStringLiteral("ready "));
        m_lines.append(line);
    }
}
