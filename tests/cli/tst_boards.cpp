#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "clirun.h"
#include "simprocess.h"
#include "testmain.h"

using namespace CliRun;

namespace {
// Six flash rows from 0x100 and four EEPROM bytes: seven writes.
const QString kSix = "0200:@64 0240:@64 0280:@64 02C0:@64 0300:@64 0340:@64 4200:@8";
}  // namespace

// kestrel-cli on a board that is unplugged, interrupted, reset or one of several.
class tst_Boards : public QObject {
    Q_OBJECT
public:
    explicit tst_Boards(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    void initTestCase() {
        WriteHex("/six.hex", kSix);
        WriteHex("/other.hex", QString(kSix).replace("0340:@64", "0340:@62"));
    }

    // Four boards at once, the third unplugged after its third frame: the others are written
    // and verified; each has its object, the worst status is the run's. Then --port all finds
    // the three left and gives one table.
    void boards() {
        std::vector<std::unique_ptr<SimProcess>> devices;
        for (const char* com : {"1", "2", "3 --fault unplug@3", "4"}) {
            devices.push_back(std::make_unique<SimProcess>(Args(QString("--baud 0 --com ") + com)));
            QVERIFY(devices.back()->Start());
        }
        const QString seen = Run("-p 1 -p 2 -p 3 -p 4 program --verify -q -j @T/six.hex");
        const QJsonObject json =
            QJsonDocument::fromJson(seen.section('\n', 0, 0).toUtf8()).object();
        QStringList boards;
        for (const QJsonValue& board : json["boards"].toArray())
            boards << Plain(board["port"].toString()).section('/', -1) + " " +
                          QString::number(board["exit"].toInt()) + " " +
                          QString::number(board["verify"]["words"].toInt()) + " " +
                          board["messages"].toArray().last().toString().left(53);
        QCOMPARE(boards,
                 QStringList({"com1 0 192 ", "com2 0 192 ",
                              "com3 1 0 kestrel-cli: flash rows 0x0100–0x013F written and ack",
                              "com4 0 192 "}));
        QVERIFY(seen.endsWith("exit 1\n"));
        QVERIFY(devices[2]->WaitForExit());
        const QString all =
            Run("--port all -q info").replace(QRegularExpression("(?<=ok {6})\\d+\\.\\d"), "0.0");
        QVERIFY2(
            all.contains(
                "port   version  result  seconds  retries\nCom 1  v1.0     ok      0.0      0\n"
                "Com 2  v1.0     ok      0.0      0\nCom 4  v1.0     ok      0.0      0\n"
                "E kestrel-cli: --port all: Com 1, Com 2, Com 4 answer\nexit 0\n"),
            qPrintable(all));
    }

    // A run cut short by an unplugged adapter after its first row, then program --resume on a
    // device that holds what the first run wrote (or not), of the same file (or not).
    void resume_data() {
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("last");  // the frame that ends the resumed run
        QTest::newRow("the rest") << true << "six"
                                  << "resuming: flash rows 0x0100–0x011F written and acknowledged; "
                                     "0x0120 onward not written"
                                  << "#8 write-eeprom 002100 4 bytes";
        QTest::newRow("a device that lost its rows")
            << false << "six"
            << "the device's words at 0x0100–0x011F differ from what the last run wrote there: "
               "programming from the beginning"
            << "#9 write-eeprom 002100 4 bytes";
        QTest::newRow("another file")
            << true << "other"
            << "the last run on @T/.local/share/Kestrel/ports/com3 wrote another file or wrote "
               "it otherwise: programming from the beginning"
            << "#8 write-eeprom 002100 4 bytes";
    }
    void resume() {
        QFETCH(bool, kept);
        QFETCH(QString, file);
        QFETCH(QString, said);
        QFETCH(QString, last);
        SimProcess cut(Args("--com 3 --baud 0 --fault unplug@2 --dump @T/cut.hex"));
        QVERIFY(cut.Start());
        QVERIFY(Run("-p 3 -q program @T/six.hex").endsWith("exit 1\n"));
        QVERIFY(cut.WaitForExit());
        SimProcess again(Args("--com 3 --baud 0" + QString(kept ? " --load @T/cut.hex" : "")));
        QVERIFY(again.Start());
        const QString seen = Run("-p 3 -q program --resume @T/" + file + ".hex");
        QVERIFY2(seen.contains("E kestrel-cli: " + said + "\n") && seen.endsWith("exit 0\n"),
                 qPrintable(seen));
        QVERIFY(again.WaitForLine(last));
        QVERIFY(Run("-p 3 -q verify @T/" + file + ".hex").endsWith("exit 0\n"));
    }

    // SIGINT and SIGTERM stop the run at once: what was acknowledged is said, the status is
    // 128 + the signal, and read leaves no file, not even a temporary one.
    void interrupted_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("cli");
        QTest::addColumn<QString>("said");
        QTest::newRow("SIGINT while programming")
            << SIGINT << "program @T/six.hex"
            << "kestrel-cli: writing flash at 0001[0-9A-F]0 failed: interrupted\n"
               "kestrel-cli: flash rows 0x0100–0x01[0-9A-F]F written and acknowledged; "
               "0x01[0-9A-F]0 onward not written; EEPROM bytes 0x00 onward not written\nexit 130\n";
        QTest::newRow("SIGTERM while reading")
            << SIGTERM << "read -o @T/out/read.hex"
            << "kestrel-cli: reading flash at 000[0-9A-F]+ failed: interrupted\nexit 143\n";
    }
    void interrupted() {
        QFETCH(int, signal);
        QFETCH(QString, cli);
        QFETCH(QString, said);
        QVERIFY(QDir().mkpath(g_root + "/out"));
        SimProcess device({"--com", "3"});  // at 9600 baud: the run lasts
        QVERIFY(device.Start());
        QProcess run;
        run.start(kCli, Args("-p 3 -q " + cli));
        QVERIFY(device.WaitForLine("#3 "));
        ::kill(pid_t(run.processId()), signal);
        QVERIFY(run.waitForFinished(10000));
        const QString seen = run.readAllStandardError() + QString("exit %1\n").arg(run.exitCode());
        QVERIFY2(QRegularExpression(said + "$").match(Plain(seen)).hasMatch(), qPrintable(seen));
        QCOMPARE(QDir(g_root + "/out").entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {});
    }

    // --wait: the bootloader answers only after the run has begun to ask.
    void waitForBootloader() {
        QProcess run;
        run.start(kCli, Args("-p 3 --wait 20 info"));
        run.setReadChannel(QProcess::StandardError);
        QVERIFY(run.waitForReadyRead(10000));
        QCOMPARE(Plain(run.readAllStandardError()),
                 "waiting for the bootloader on Com 3 (/dev/ttyS2): press the board's reset "
                 "button\n");
        SimProcess device(Args("--com 3 --baud 0"));
        QVERIFY(device.Start());
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.readAllStandardOutput() + QByteArray::number(run.exitCode()), "v1.0\n0");
    }

    // On a terminal, progress is a bar with the count and the time left, redrawn in place.
    void terminal() {
        SimProcess device(Args("--com 3 --baud 0"));
        QVERIFY(device.Start());
        QProcess script;
        script.start("script",
                     {"-qec", kCli + " -p 3 program --flash " + g_root + "/six.hex", "/dev/null"});
        QVERIFY(script.waitForFinished(20000));
        const QString seen = script.readAllStandardOutput();
        QVERIFY2(
            seen.contains("Writing flash [..............................] 0/6 -:-- left") &&
                seen.contains(
                    "\r\033[KWriting flash [##############################] 6/6 0:00 left\r\n"),
            qPrintable(seen));
    }
};

KESTREL_TEST_MAIN(tst_Boards)
#include "tst_boards.moc"
