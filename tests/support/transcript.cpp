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

}  // namespace

QStringList Terminal(const QString& line) {
    QProcess shell;
    shell.setWorkingDirectory(QDir::homePath());
    QEventLoop loop;
    QObject::connect(&shell, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kPatienceMs, &loop, &QEventLoop::quit);
    shell.start("sh", {"-c", line});
    if (shell.waitForStarted()) loop.exec();
    // The address sanitizer's warning about switched stacks is the build's, not the program's.
    QStringList errors = Lines(shell.readAllStandardError(), "E ");
    errors.removeIf([](const QString& error) {
        return error.contains(QRegularExpression("^E ==\\d+==WARNING: ASan doesn't fully support"));
    });
    return Lines(shell.readAllStandardOutput(), "") + errors +
           QStringList{shell.state() == QProcess::NotRunning && shell.exitStatus() == 0
                           ? QString("exit %1").arg(shell.exitCode())
                           : "did not end"};
}

QStringList Transcript(const QStringList& script) {
    QStringList seen;
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<bool> quiet;  // its lines sent to /dev/null
    const auto end = [&](size_t job, bool wait) {
        if (job >= sims.size() || !sims[job]) return;
        const QString mark = QString("[%1] ").arg(job + 1);
        const bool ended = wait ? sims[job]->WaitForExit() : sims[job]->Stop();
        seen << Lines(quiet[job] ? "" : sims[job]->Lines().join('\n').toUtf8(), mark)
             << mark + (ended ? "exit 0" : "did not exit with 0");
        sims[job].reset();
    };
    const QRegularExpression jobLine("^(kill|wait) %(\\d+|%)$");
    for (const QString& line : script) {
        seen << "$ " + line;
        if (const auto match = jobLine.match(line); match.hasMatch()) {
            const QString number = match.captured(2);
            end(number == "%" ? sims.size() - 1 : number.toUInt() - 1, match.captured(1) == "wait");
        } else if (line.startsWith("kestrel-sim ") && line.endsWith(" &")) {
            QStringList options = line.chopped(2).split(' ').mid(1);
            quiet.push_back(options.removeAll(">/dev/null") > 0);
            sims.push_back(std::make_unique<SimProcess>(options));
            if (!sims.back()->Start()) seen << QString("[%1] not ready").arg(sims.size());
        } else {
            seen << Terminal(line);
        }
    }
    for (size_t job = 0; job < sims.size(); ++job) end(job, false);
    return seen;
}
