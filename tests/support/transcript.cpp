#include "transcript.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <memory>
#include <vector>

#include "simprocess.h"

namespace {
constexpr int kPatienceMs = 60000;

QStringList Lines(const QByteArray& text, const QString& mark) {
    QStringList lines = QString::fromUtf8(text).split('\n');
    if (lines.last().isEmpty()) lines.removeLast();
    return lines.replaceInStrings(QRegularExpression("^"), mark);
}

// The line's output; the event loop runs meanwhile, so a simulator's lines are taken in.
QStringList Run(const QString& line) {
    QProcess shell;
    shell.setWorkingDirectory(QDir::homePath());
    QEventLoop loop;
    QObject::connect(&shell, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kPatienceMs, &loop, &QEventLoop::quit);
    shell.start("sh", {"-c", line});
    if (shell.waitForStarted()) loop.exec();
    return Lines(shell.readAllStandardOutput(), "") + Lines(shell.readAllStandardError(), "E ") +
           QStringList{shell.state() == QProcess::NotRunning && shell.exitStatus() == 0
                           ? QString("exit %1").arg(shell.exitCode())
                           : "did not end"};
}
}  // namespace

QStringList Transcript(const QStringList& script) {
    QStringList seen;
    std::vector<std::unique_ptr<SimProcess>> sims;
    const auto end = [&](size_t job) {
        if (job >= sims.size() || !sims[job]) return;
        const QString mark = QString("[%1] ").arg(job + 1);
        const bool stopped = sims[job]->Stop();
        seen << Lines(sims[job]->Lines().join('\n').toUtf8(), mark)
             << mark + (stopped ? "exit 0" : "did not exit with 0");
        sims[job].reset();
    };
    const QRegularExpression kill("^kill %(\\d+)$");
    for (const QString& line : script) {
        seen << "$ " + line;
        if (const auto match = kill.match(line); match.hasMatch()) {
            end(match.captured(1).toUInt() - 1);
        } else if (line.startsWith("kestrel-sim ") && line.endsWith(" &")) {
            sims.push_back(std::make_unique<SimProcess>(line.chopped(2).split(' ').mid(1)));
            if (!sims.back()->Start()) seen << QString("[%1] not ready").arg(sims.size());
        } else {
            seen << Run(line);
        }
    }
    for (size_t job = 0; job < sims.size(); ++job) end(job);
    return seen;
}
