#include "transcript.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <memory>

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
    std::unique_ptr<SimProcess> sim;
    const auto end = [&] {
        if (!sim) return;
        const bool stopped = sim->Stop();
        seen << Lines(sim->Lines().join('\n').toUtf8(), "sim| ")
             << (stopped ? "sim| exit 0" : "sim| did not exit with 0");
        sim.reset();
    };
    for (const QString& line : script) {
        seen << "$ " + line;
        if (!line.startsWith("kestrel-sim ") || !line.endsWith(" &")) {
            seen << Run(line);
            continue;
        }
        end();
        sim = std::make_unique<SimProcess>(line.chopped(2).split(' ').mid(1));
        if (!sim->Start()) seen << "sim| not ready";
    }
    end();
    return seen;
}
