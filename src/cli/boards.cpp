#include "boards.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>
#include <csignal>

#include "clioptions.h"
#include "console.h"
#include "devicelink.h"
#include "fiberwaits.h"
#include "interruption.h"
#include "screen.h"
#include "texttable.h"

namespace {
constexpr int kComPorts = 4;
const QString kAnswer = QStringLiteral("kestrel-cli: --port all: %1 answer");
const QString kNoneAnswers =
    QStringLiteral("kestrel-cli: --port all: no port answers the version request");
const QStringList kHeadings = {QStringLiteral("port"), QStringLiteral("version"),
                               QStringLiteral("result"), QStringLiteral("seconds"),
                               QStringLiteral("retries")};

// A body and its waits, on a stack of its own.
struct Task {
    explicit Task(std::function<void(Waits&)> body)
        : fiber([this, body = std::move(body)] { body(waits); }), waits(fiber) {}
    Fiber fiber;
    FiberWaits waits;
};

// Runs body(i, waits) for each i below count, all at once on the one event loop, and returns
// once every one has ended.
void AtOnce(int count, const std::function<void(int, Waits&)>& body, Interruption& interruption) {
    QEventLoop loop;
    int running = count;
    std::vector<std::unique_ptr<Task>> tasks;
    for (int i = 0; i < count; ++i) {
        tasks.push_back(std::make_unique<Task>([&, i](Waits& waits) {
            body(i, waits);
            if (--running == 0) loop.quit();
        }));
        interruption.Add(&tasks.back()->waits);
        QTimer::singleShot(0, &loop, [task = tasks.back().get()] { task->fiber.Resume(); });
    }
    if (count > 0) loop.exec();
    for (const auto& task : tasks) interruption.Remove(&task->waits);
}

// Com 1-4 and every serial port the system reports, each device once.
QList<PortChoice> Candidates() {
    QList<PortChoice> ports;
    QStringList devices;
    const auto add = [&](const PortChoice& port) {
        const QFileInfo info(port.Device());
        const QString device =
            info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (devices.contains(device)) return;
        devices.append(device);
        ports.append(port);
    };
    for (qint16 number = 1; number <= kComPorts; ++number) add({number, {}});
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        add({0, port.systemLocation()});
    return ports;
}

// The ports whose bootloader answers, asked all at once.
QList<PortChoice> Answering(const CliOptions& options, Screen& screen, Interruption& interruption) {
    const QList<PortChoice> candidates = Candidates();
    QList<bool> answers(candidates.size(), false);
    AtOnce(
        int(candidates.size()),
        [&](int i, Waits& waits) {
            Console quiet(screen, candidates[i].Name(), true, options.verbose);
            DeviceLink link(candidates[i], options, waits, quiet, nullptr);
            QString version;
            answers[i] = link.Answers(version);
        },
        interruption);
    QList<PortChoice> answering;
    for (qsizetype i = 0; i < candidates.size(); ++i)
        if (answers[i]) answering.append(candidates[i]);
    return answering;
}

QString ResultOf(ExitStatus status) {
    switch (int(status)) {
        case int(ExitStatus::Success):
            return QStringLiteral("ok");
        case int(ExitStatus::Differences):
            return QStringLiteral("differs");
        case 128 + SIGINT:
            return QStringLiteral("interrupted");
        case 128 + SIGTERM:
            return QStringLiteral("terminated");
        default:
            return QStringLiteral("failed");
    }
}

// A board's line of the table and its object.
struct Outcome {
    ExitStatus status = ExitStatus::Success;
    QStringList row;
    QJsonObject json;
};

Outcome RunOne(const PortChoice& port, const CliOptions& options, const BoardRun& run, Waits& waits,
               Screen& screen, const Interruption& interruption) {
    Console board(screen, port.Name(), options.json, options.verbose);
    Report result;
    QElapsedTimer clock;
    clock.start();
    Outcome outcome;
    outcome.status = run(port, waits, board, result);
    if (interruption.Signal() != 0) outcome.status = ExitStatus(128 + interruption.Signal());
    const double seconds = double(clock.elapsed()) / 1000.0;
    const QString shown = QString::number(seconds, 'f', 1);
    board.Settle(QStringLiteral("%1 (%2 s)").arg(ResultOf(outcome.status), shown));
    outcome.row = {port.Name(), result.Value(QStringLiteral("version")).toString(),
                   ResultOf(outcome.status), shown,
                   QString::number(result.Value(QStringLiteral("retries")).toInt())};
    outcome.json = result.Object(outcome.status, board.Messages());
    outcome.json[QStringLiteral("seconds")] = seconds;
    return outcome;
}
}  // namespace

ExitStatus RunBoards(const QList<PortChoice>& given, const CliOptions& options, const BoardRun& run,
                     Screen& screen, Console& console, Report& report, Interruption& interruption) {
    const QList<PortChoice> ports =
        given.isEmpty() ? Answering(options, screen, interruption) : given;
    QStringList names;
    for (const PortChoice& port : ports) names.append(port.Name());
    if (given.isEmpty())
        console.Message(ports.isEmpty() ? kNoneAnswers
                                        : kAnswer.arg(names.join(QStringLiteral(", "))));
    if (ports.isEmpty()) return ExitStatus::DeviceFailure;
    QList<Outcome> outcomes(ports.size());
    AtOnce(
        int(ports.size()),
        [&](int i, Waits& waits) {
            outcomes[i] = RunOne(ports[i], options, run, waits, screen, interruption);
        },
        interruption);
    screen.Close();
    QList<QStringList> rows = {kHeadings};
    QJsonArray boards;
    ExitStatus worst = ExitStatus::Success;
    for (const Outcome& outcome : outcomes) {
        rows.append(outcome.row);
        boards.append(outcome.json);
        worst = Worst(worst, outcome.status);
    }
    for (const QString& line : TextTable(rows)) console.Result(line);
    report.Set(QStringLiteral("boards"), boards);
    return worst;
}
