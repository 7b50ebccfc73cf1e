#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "clirun.h"
#include "clshexcomm.h"
#include "fakeserialport.h"
#include "golden.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "simprocess.h"
#include "testmain.h"

using namespace CliRun;

class tst_Cli : public QObject {
    Q_OBJECT
public:
    explicit tst_Cli(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    void initTestCase() {  // six flash rows from 0x100 and four EEPROM bytes: seven writes
        WriteHex("/six.hex", "0200:@64 0240:@64 0280:@64 02C0:@64 0300:@64 0340:@64 4200:@8");
    }

    // Every option a command's help names is in the manual page, the README and the bash
    // completion.
    void conventions() {
        const auto text = [](const QString& path) {
            QFile file(kData + "/../../" + path);
            return file.open(QIODevice::ReadOnly) ? QString(file.readAll()) : QString();
        };
        const QString manual = text("docs/man/kestrel-cli.1").remove('\\'),
                      readme = text("README.md"), completion = text("src/cli/kestrel-cli.bash");
        for (const char* command : {"ports", "check", "info", "program", "verify", "read", "run"}) {
            const QString help = Run(QString("help ") + command);
            QVERIFY(manual.contains(QRegularExpression(QString("\n\\.BI? ") + command)) &&
                    completion.contains(command));
            for (const auto& option : QRegularExpression("(--[a-z]+)").globalMatch(help)) {
                const QString name = option.captured(1);
                QVERIFY2(manual.contains(name) && readme.contains('`' + name) &&
                             completion.contains(name),
                         qPrintable(name));
            }
        }
    }

    // As nobody, the simulator's root-owned pseudo-terminal cannot be used: why.
    void ports() {
        if (::geteuid() != 0) QSKIP("needs root to run kestrel-cli as nobody");
        QCOMPARE(::chmod(QFile::encodeName(g_root), 0755), 0);  // so that nobody may run the copy
        QVERIFY(QFile::copy(kCli, g_root + "/kestrel-cli"));
        SimProcess device({"--com", "2"});
        QVERIFY(device.Start());
        const QStringList lines =
            Run("ports",
                "setpriv --reuid=65534 --regid=65534 --clear-groups " + g_root + "/kestrel-cli")
                .split('\n');
        QCOMPARE(lines.value(1),
                 "Com 2  @T/.local/share/Kestrel/ports/com2 -> /dev/pts/N  no permission (serial "
                 "devices belong to the dialout group: sudo usermod -aG dialout $USER, then log in "
                 "again)");
    }

    // The fast path ends the reply wait once the whole valid reply is in, and only then; the
    // link's checks stay. An EEPROM write (ack) or read (data), or a write without the fast
    // path (slow), gets "FIRST|REST" in two reads.
    void fastReplies() {
        QStringList seen;
        for (const QString exchange :
             {"write 0F050504FB", "write 0F05|0504FB", "slow 0F050504FB", "write 0F0505",
              "write 0F050504FC", "write 0F0204FE", "read 0F050401002100|050F04CB",
              "read 0F050401002100050F04CB77", "read 0F050401002100050F04CC",
              "read 0F050401002100050FCB"}) {
            Trace trace;
            ScriptedPrompts prompts(trace);
            ScriptedWaits waits(trace);
            auto* port = new FakeSerialPort;
            const QList<QByteArray> parts = exchange.section(' ', 1).toLatin1().split('|');
            port->responder = [&](auto) {
                port->Deliver(QByteArray::fromHex(parts[0]));
                return QByteArray::fromHex(parts.value(1));
            };
            clsHexComm link(std::unique_ptr<SerialPort>(port), prompts, waits);
            link.SetFastReplies(!exchange.startsWith("slow"));
            QVERIFY(link.OpenComPort(1));
            QByteArray data;
            if (exchange.startsWith("read") ? link.blnReadEEPROM(1, {0x00, 0x21, 0x00}, data)
                                            : link.blnWriteEEPROM(1, {0x00, 0x21, 0x00}, Hex("0F")))
                trace.events << "ok " + data.toHex();
            trace.events.prepend(waits.deadline.hasExpired() ? "ended" : "waited");
            seen << exchange + "  " + trace.events.join(", ").trimmed();
        }
        if (const QString diff = Golden("fast-replies.txt").Diff(seen); !diff.isEmpty())
            QFAIL(qPrintable(diff));
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

KESTREL_TEST_MAIN(tst_Cli)
#include "tst_cli.moc"
