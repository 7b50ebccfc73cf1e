#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "portpath.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
// What the simulator has sent so far, gathered in `reply`.
const QByteArray& Gather(int port, QByteArray& reply) {
    char buffer[256];
    reply.append(buffer, std::max<ssize_t>(::read(port, buffer, sizeof buffer), 0));
    return reply;
}
// Starts the simulator at real timing off; true once it is ready. Waits on the read channel.
bool StartSim(QProcess& sim, const QStringList& options) {
    sim.start(qEnvironmentVariable("KESTREL_SIM"), QStringList{"--baud", "0"} + options);
    return sim.waitForReadyRead(10000) && sim.peek(6) == "ready ";
}

// What is at a path: "file", "link" (with a lock beside it: "link+lock"), or "-".
QString At(const QString& path) {
    const QFileInfo info(path);
    const QString what = info.isSymLink() ? "link" : info.exists() ? "file" : "-";
    return what + (QFileInfo::exists(path + ".lock") ? "+lock" : "");
}
}  // namespace

class tst_Sim : public QObject {
    Q_OBJECT
public:
    explicit tst_Sim(TestEnvironment&) {}

private slots:
    // Writes land where reads find them, as 14-bit words; the bootloader's own area is refused
    // without a reply; a fault damages only the frame it names; the port's entry goes at exit.
    void session() {
        SimProcess sim({"--baud", "0", "--version", "2.5", "--fault", "cut@4"});
        QVERIFY(sim.Start());
        const int port = ::open(qPrintable(PortPath::LinkPath(1)), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(port >= 0);
        const QByteArray version = Hex("0f000205050204f7");
        const QByteArray read = Hex("0f010800010004f6");
        const struct {
            QByteArray request, reply;
            const char* line;
        } steps[] = {
            {Hex("0f0002ff04ff"), version, "#1 read-version 2 bytes: v2.5"},
            {Hex("0f020100010011223344556677880498"), Hex("0f0204fe"),
             "#2 write-flash 000100 8 bytes: ack"},
            {read, Hex("0f01080001001122330504552677080492"), "#3 read-flash 000100 8 bytes: data"},
            {read, Hex("0f01"), "#4 read-flash 000100 8 bytes: data [fault cut]"},
            {Hex("0f020180000011223344556677880419"),
             {},
             "#5 write-flash 000080 8 bytes: refused (bootloader area): no reply"},
            {Hex("0f0002ff04ff"), version, "#6 read-version 2 bytes: v2.5"},
        };
        for (const auto& step : steps) {
            QCOMPARE(::write(port, step.request.constData(), size_t(step.request.size())),
                     step.request.size());
            QVERIFY2(sim.WaitForLine(QString::fromLatin1(step.line)), step.line);
            QByteArray reply;
            QTRY_COMPARE(Gather(port, reply).toHex(), step.reply.toHex());
        }
        ::close(port);
        QVERIFY(sim.Stop());
        QVERIFY(!QFileInfo(PortPath::LinkPath(1)).isSymLink());
    }

    // What the simulator did not make stays as it is: it refuses it, status 2, or leaves it at
    // its end; a link a killed simulator left is taken over; output that cannot be written is
    // said and fails the run. A simulator that starts is ended by SIGINT.
    void paths_data() {
        QTest::addColumn<QString>("setup");    // what is at the port path P first, or options
        QTest::addColumn<QString>("outcome");  // status, error (D: the test's folder); then at P
        const QString taken = "2 kestrel-sim: D/P is already there (%1) and is left as it is|";
        const QString dump = "kestrel-sim: cannot write dump ";
        for (const auto& [setup, outcome] : std::initializer_list<std::pair<QString, QString>>{
                 {"file", taken.arg("a file") + "file"},
                 {"link", taken.arg("a link to /dev/null") + "link"},
                 {"served",
                  "2 kestrel-sim: D/P is served by another kestrel-sim (process N)|link+lock"},
                 {"killed", "0|-"},
                 {"replaced", "0|link"},
                 {"--dump /dev/full", "1 " + dump + "/dev/full: No space left on device|-"},
                 {"--dump D/none/x", "2 " + dump + "D/none/x: No such file or directory|-"},
                 {"lines lost", "1 kestrel-sim: cannot write its lines: No space left on device|-"},
                 {"--load D/fifo", "2 kestrel-sim: cannot load D/fifo: not a plain file|-"}})
            QTest::newRow(qPrintable(setup)) << setup << outcome;
    }
    void paths() {
        QFETCH(QString, setup);
        QFETCH(QString, outcome);
        QTemporaryDir folder;
        const QString port = folder.filePath("P");
        QVERIFY(::mkfifo(qPrintable(folder.filePath("fifo")), 0600) == 0);
        QProcess first, sim;
        if (setup == "file") QVERIFY(QFile(port).open(QIODevice::WriteOnly));
        if (setup == "link") QVERIFY(QFile::link("/dev/null", port));
        if (setup == "served" || setup == "killed") QVERIFY(StartSim(first, {"--link", port}));
        const qint64 firstId = first.processId();
        if (setup == "killed") QVERIFY((first.kill(), first.waitForFinished()));
        if (setup == "lines lost") {
            sim.setStandardOutputFile("/dev/full");
            sim.setReadChannel(QProcess::StandardError);
        }
        QStringList options = setup.startsWith("--") ? setup.split(' ') : QStringList();
        StartSim(sim, options.replaceInStrings("D/", folder.path() + '/') << "--link" << port);
        if (setup == "replaced") QVERIFY(QFile::remove(port) && QFile::link("/dev/null", port));
        if (sim.state() == QProcess::Running) ::kill(pid_t(sim.processId()), SIGINT);
        QVERIFY(sim.state() == QProcess::NotRunning || sim.waitForFinished(10000));
        QString seen = QString::number(sim.exitCode()) + ' ' + sim.readAllStandardError().trimmed();
        seen = seen.trimmed().replace(folder.path(), "D") + '|' + At(port);
        QCOMPARE(firstId ? seen.replace(QString::number(firstId), "N") : seen, outcome);
    }
};

KESTREL_TEST_MAIN(tst_Sim)
#include "tst_sim.moc"
