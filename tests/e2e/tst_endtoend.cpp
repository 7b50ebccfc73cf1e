#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "clshexcomm.h"
#include "commandrig.h"
#include "composition.h"
#include "connectcommand.h"
#include "eventloopwaits.h"
#include "folderclaim.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "simprocess.h"
#include "singleinstance.h"
#include "testmain.h"

namespace {

// The command groups set by a connect and a program.
const QStringList kProgrammed{"enable 0110101", "enable 0000000", "enable 0110011"};
const QStringList kAllRows{"flash 000100", "flash 000200", "eeprom 002100", "eeprom 002110"};
const QString kTable = qEnvironmentVariable("KESTREL_TEST_DATA") + QStringLiteral("/table.hex");

// The commands over the real link and port, table.hex imported: two flash rows (words 0x100
// and 0x200), then two EEPROM lines. Only the link's waits for replies take time, and they end
// as soon as a whole reply is in.
struct FaultRig : CommandRig {
    FaultRig() {
        host.state.objHexComm = &link;
        host.ticks[Tick::ProgEEPROM] = true;
        link.SetFastReplies(true);
        prompts.files = {kTable};
        ImportHexFile(context);
        trace.events.clear();
    }
    void ConnectAndProgram() {
        ConnectToPIC(context);
        if (trace.events.last() == kProgrammed[0]) ProgramPIC(context);
    }

    EventLoopWaits linkWaits;
    clsHexComm link{std::make_unique<QSerialPortAdapter>(), prompts, linkWaits};
};

// The rows a simulator wrote, each once per run of attempts at it.
QStringList Written(const SimProcess& sim) {
    QStringList rows =
        sim.Lines().filter(QRegularExpression(QStringLiteral("^#\\d+ write-.*: ack")));
    rows.replaceInStrings(QRegularExpression(QStringLiteral("^#\\d+ write-(\\w+ \\w+) .*")),
                          QStringLiteral("\\1"));
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

}  // namespace

class tst_EndToEnd : public QObject {
    Q_OBJECT
public:
    explicit tst_EndToEnd(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    // The window as the program builds it, against the simulator as Com 1 at real timing: the
    // flash rows and EEPROM lines land, the bootloader's area, ID and config words stay erased.
    void programsAndRuns() {
        const QString dumpPath = m_environment.Root() + QStringLiteral("/dump.hex");
        QFile dump(dumpPath);  // an earlier, longer dump is replaced whole
        QVERIFY(dump.open(QIODevice::WriteOnly) && dump.write(QByteArray(4096, ':')) &&
                dump.flush());
        dump.close();
        SimProcess sim({"--dump", dumpPath});
        QVERIFY(sim.Start());
        CommandRig rig;
        rig.prompts.files = {kTable};
        Composition parts(rig.prompts, rig.Folder());
        for (const char* item :
             {"mnuImportHexFile", "mnuConnectToPIC", "mnuProgEEPROM", "mnuProgramPIC", "mnuRunPIC"})
            parts.window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QCOMPARE(rig.trace.events.filter(QStringLiteral("msg ")), QStringList());
        QTRY_COMPARE(sim.Lines().filter(QStringLiteral(" reset")).size(), 1);
        QVERIFY(sim.Stop());
        QVERIFY(dump.open(QIODevice::ReadOnly));
        QCOMPARE(dump.readAll(), QByteArray(":020000040000FA\n"
                                            ":100200000330002286000029FF3FFF3FFF3FFF3FF2\n"
                                            ":1004000082071034203430344034FF3FFF3FFF3F39\n"
                                            ":104200004B00650073007400720065006C002100B3\n"
                                            ":104210000100020003000400FF00FF00FF00FF0098\n"
                                            ":10422000A5005A00C3003C00FF00FF00FF00FF0094\n"
                                            ":00000001FF\n"));
    }

    // A version request unanswered, a flash row after its retries, an EEPROM line's acknowledge
    // damaged, a short acknowledge (whole to the link), the port gone mid program.
    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("events");  // messages and command groups
        QTest::addColumn<QStringList>("rows");    // that reached the device
        const QString silent("msg No Response: No response received from bootloader firmware (!)");
        const QString failed("msg %1 Program Error: Unable to program %2 memory address:%3 (x)");
        const QString flash = failed.arg("Flash", "flash"), eeprom = failed.arg("EEPROM", "EEPROM");
        const auto row = [](const char* fault, const QStringList& messages,
                            const QStringList& rows) {
            QTest::newRow(fault) << fault << (kProgrammed.first(2) + messages << kProgrammed[2])
                                 << rows;
        };
        QTest::newRow("silent@1,2,3") << "silent@1,2,3" << QStringList{silent} << QStringList{};
        row("silent@2,3", {silent, flash.arg("000100")}, kAllRows.first(1) + kAllRows.sliced(2));
        row("bad-checksum@4",
            {"msg Corrupt Data: In correct check sum value returned (!)", eeprom.arg("002100")},
            kAllRows.first(3));
        row("short-data@2", {}, kAllRows);
        row("unplug@2",
            {"msg Kestrel: COM 1: not available. Change to another com port.", flash.arg("000200"),
             "msg Coms Port Closed: First open a specified Coms Port (x)", eeprom.arg("002100")},
            kAllRows.first(1));
    }
    // Each fault, then the device back (after an unplug as a new simulator): the same commands
    // connect and program it whole.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(QStringList, events);
        QFETCH(QStringList, rows);
        FaultRig rig;
        SimProcess sim({"--baud", "0", "--fault", fault}), back({"--baud", "0"});
        QVERIFY(sim.Start());
        rig.ConnectAndProgram();
        if (fault.startsWith(QStringLiteral("unplug"))) QVERIFY(sim.WaitForExit() && back.Start());
        rig.ConnectAndProgram();
        QVERIFY(sim.Stop() && back.Stop());
        QCOMPARE(rig.trace.events.filter(QRegularExpression(QStringLiteral("^(msg|enable) "))),
                 events + kProgrammed);
        QCOMPARE(Written(sim) + Written(back), rows + kAllRows);
    }

    // The folder is made when missing and claimed when it can be written and locked; a live
    // Kestrel's lock hands over to it and raises it; anything else in the way is said, with
    // status 1.
    void claimFolder_data() {
        QTest::addColumn<QString>("folder");   // R: the test's own
        QTest::addColumn<QString>("outcome");  // "-" to go on, the status 0, or why not
        const char* denied = geteuid() == 0 ? "Operation not permitted" : "Permission denied";
        for (const auto& [folder, outcome] : std::initializer_list<std::pair<QString, QString>>{
                 {"R/new/program", "-"},
                 {"R/running", "0"},
                 {"R/lock", "its lock file Kestrel.lock cannot be made or read"},
                 {"R/file/program", "it cannot be created (Not a directory)"},
                 {"/proc/1", QString("it cannot be written (%1)").arg(denied)}})
            QTest::newRow(qPrintable(folder)) << folder << outcome;
    }
    void claimFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, outcome);
        QTemporaryDir root;
        folder.replace("R/", root.path() + '/');
        QVERIFY(QDir().mkpath(root.filePath("lock/Kestrel.lock")) &&
                QDir().mkpath(root.filePath("running")) &&
                QFile(root.filePath("file")).open(QIODevice::WriteOnly));
        // The live one took over from a crashed run that left its lock and its socket.
        SingleInstance crashed(root.filePath("running")), running(root.filePath("running")),
            instance(folder);
        QCOMPARE(crashed.Acquire(), SingleInstance::Claim::Held);
        QFile lock(root.filePath("running/Kestrel.lock"));  // the id of no process
        QVERIFY(lock.remove() && lock.open(QIODevice::WriteOnly) && lock.write("999999999\n") > 0);
        lock.close();
        QCOMPARE(running.Acquire(), SingleInstance::Claim::Held);
        QSignalSpy raised(&running, &SingleInstance::RaiseRequested);
        CommandRig rig;
        const std::optional<int> status = ClaimProgramFolder(folder, instance, rig.prompts);
        QString seen = status ? QString::number(*status) : "-";
        for (const QString& event : rig.trace.events) seen += ' ' + event;
        const QString message = "1 msg Kestrel: Kestrel cannot keep its files in %1: %2 (x)";
        QCOMPARE(seen, outcome.size() > 1 ? message.arg(folder, outcome) : outcome);
        QVERIFY(status || QFileInfo(folder).isDir());
        QVERIFY(status != 0 || raised.wait(5000));  // raised by the one that ends
    }

    // The program itself, started twice on one folder: the second hands over to the first, ends.
    void secondStart() {
        const QString program = m_environment.Root() + QStringLiteral("/Kestrel");
        QVERIFY(QFile::copy(QStringLiteral(KESTREL_APP), program));
        QProcess first, second;
        first.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        first.start(program);
        QTRY_VERIFY(QFile::exists(m_environment.Root() + QStringLiteral("/Kestrel.lock")));
        second.start(program);
        QVERIFY(second.waitForFinished() && second.exitCode() == 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();
    }

private:
    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
