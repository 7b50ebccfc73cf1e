#include <sys/stat.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
const QString kCli = QStringLiteral(KESTREL_CLI);
const QString kData = qEnvironmentVariable("KESTREL_TEST_DATA");
QString g_root;  // the test's HOME

// Words with @D (the test data) and @T (the test's HOME) filled in.
QStringList Args(const QString& text) {
    return text.split(' ', Qt::SkipEmptyParts)
        .replaceInStrings("@D", kData)
        .replaceInStrings("@T", g_root);
}

QByteArray FileText(const QString& name) {
    QFile file(g_root + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paths as @D, @T and /dev/pts/N; times as 0.
QString Plain(QString text) {
    return text.replace(kData, "@D")
        .replace(g_root, "@T")
        .replace(QRegularExpression("/dev/pts/\\d+"), "/dev/pts/N")
        .replace(QRegularExpression(R"("seconds":[^,}]+)"), R"("seconds":0)");
}

// kestrel-cli (or the command given) to its end: standard output, standard error marked "E ".
QString RunCli(const QString& arguments, const QStringList& cli = {kCli}) {
    QProcess process;
    process.start(cli[0], cli.mid(1) + Args(arguments));
    process.waitForFinished(60000);
    QString err = "E " + QString(process.readAllStandardError()).replace('\n', "\nE ");
    err.chop(2);
    return Plain(process.readAllStandardOutput() + err +
                 QString("exit %1\n").arg(process.exitStatus() ? -1 : process.exitCode()));
}

void Row(const char* name, const QString& first, const QString& second, const QString& trace) {
    QTest::newRow(name) << first << second << trace;
}
}  // namespace

class tst_Cli : public QObject {
    Q_OBJECT
public:
    explicit tst_Cli(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    void init() {
        QFile digits(g_root + "/nothex.hex");
        QVERIFY(digits.open(QIODevice::WriteOnly) && digits.write(":0200000400G0FA\n"));
        TestEnvironment::ClearSettings();
        QSettings("Kestrel", "Kestrel").setValue("Kes_BootloaderForm/Port", 3);
        for (const char* name : {"/frames.jsonl", "/Flash.hx"}) QFile::remove(g_root + name);
    }

    // Each command against the simulator on the port the window stored; the window's settings
    // and program folder stay untouched. The trace goes on with the frames of --log (">" sent,
    // "<" received, short ones with bytes) and ends with the simulator's last line.
    void commands_data() {
        QTest::addColumn<QString>("sim");
        QTest::addColumn<QString>("cli");
        QTest::addColumn<QString>("trace");
        Row("program blink, verify, run", "", "program --fast --verify --run --quiet @D/blink.hex",
            "program: flash and EEPROM written\nverify: 17 flash words and 256 EEPROM bytes "
            "match\nrun: device reset\nexit 0\n#27 reset");
        Row("info", "", "info",
            "v1.0\nE Connecting to PIC...\nexit 0\n#1 read-version 2 bytes: v1.0");
        Row("run", "", "run", "run: device reset\nexit 0\n#1 reset");
        Row("corrupt flash", "--fault corrupt@3", "program --flash --verify --quiet @D/blink.hex",
            "program: flash written\n000180  device 0BA1  file 0BA0\nverify: 1 difference in 17 "
            "flash words and 0 EEPROM bytes\nexit 3\n#5 read-flash 000180 64 bytes: data");
        Row("corrupt EEPROM", "--fault corrupt@2", "program --eeprom --verify --quiet @D/table.hex",
            "program: EEPROM written\n002100  device 4A  file 4B\nverify: 1 difference in 0 flash "
            "words and 16 EEPROM bytes\nexit 3\n#4 read-eeprom 002100 64 bytes: data");
        const QString read = "read --fast --quiet --out @T/read.hex";
        Row("read all", "--load @D/table.hex --dump @T/dump.hex", read + " --all",
            "read: flash from 000000, EEPROM and configuration into @T/read.hex\nexit 0\n"
            "#262 read-config 002000 16 bytes: data");
        const QString failed = "E %2\nexit 1\n#%3 read-version 2 bytes: v1.0 [fault %1]";
        const auto fault = [&](const char* kind, const char* message, const char* frame = "1") {
            Row(kind, QString("--fault ") + kind, read, failed.arg(kind, message, frame));
        };
        fault("silent", "No Response: No response received from bootloader firmware", "3");
        fault("bad-checksum", "Corrupt Data: In correct check sum value received");
        fault("wrong-command", "Format Error: Invalid Command byte received");
        fault("no-end", "Format Error: <ETX> character not present");
        fault("cut", "Format Error: <ETX> character not present");
        fault("short-data", "Error: Incorrect requested number of data bytes received");
        Row("unplug", "--fault unplug@1", read,
            "E Kestrel: COM 3: not available. Change to another com port.\nexit 1\nunplugged");
        // Files the import refuses and bad usage: status 2 before any frame.
        const QString ready = "exit 2\nready /dev/pts/N";
        Row("not a HEX file", "", "program --quiet @D/blink.asm",
            "E Incorrect hex file format: Record type field incorrect\n" + ready);
        Row("not hexadecimal", "", "verify --quiet @T/nothex.hex",
            "E kestrel-cli: @T/nothex.hex could not be imported\n" + ready);
        Row("unknown command", "", "frob", "E kestrel-cli: unknown command frob\n" + ready);
        Row("read without out", "", "read", "E kestrel-cli: read needs --out FILE.hex\n" + ready);
        Row("check", "", "check --out @T @D/table.hex",
            "flash    000000, 000100-000103, 000200-000204 (10 words)\neeprom   00-0B, 10-13 (16 "
            "bytes, as the device gets them)\nuser ID  0A 0B 0C 0D\nconfig   3F79\nwarning: flash "
            "000000 lies below word 0x100: the bootloader's own, never written\nwarning: EEPROM "
            "record at 4240 names offset 20 but goes to offset 10: the records are packed one "
            "after another (1 records moved)\nwarning: user ID present but not programmed by "
            "this bootloader\nwarning: configuration present but not programmed by this "
            "bootloader\nE Importing Hex File...\nE Importing Hex File... 10/10\nE Success...\n"
            "exit 0\nready /dev/pts/N");
        Row("json and log, first flash write unanswered once", "--fault silent@2",
            "program --json --quiet --verify --fast --log @T/frames.jsonl @D/table.hex",
            R"({"exit":0,"file":"@D/table.hex","messages":[],)"
            R"("port":"@T/.local/share/Kestrel/ports/com3","regions":{)"
            R"("eeprom":{"attempts":2,"blocks":2,"bytes":16,"retries":0,"seconds":0},)"
            R"("flash":{"attempts":3,"blocks":2,"bytes":128,"retries":1,"seconds":0},)"
            R"("read-eeprom":{"attempts":1,"blocks":1,"bytes":64,"retries":0,"seconds":0},)"
            R"("read-flash":{"attempts":2,"blocks":2,"bytes":128,"retries":0,"seconds":0}},)"
            R"("verify":{"bytes":16,"differences":0,"first":[],"words":9},"version":"v1.0"})"
            "\nexit 0\n> read-version 2 bytes: 0f 00 02 ff 04 ff\n< data 2 bytes\n> write-flash "
            "000100 64 bytes\n> write-flash 000100 64 bytes\n< ack: 0f 02 04 fe\n> write-flash "
            "000200 64 bytes\n< ack: 0f 02 04 fe\n> write-eeprom 002100 12 bytes\n< ack: 0f 05 05 "
            "04 fb\n> write-eeprom 002110 4 bytes\n< ack: 0f 05 05 04 fb\n> read-flash 000100 64 "
            "bytes\n< data 64 bytes\n> read-flash 000200 64 bytes\n< data 64 bytes\n> read-eeprom "
            "002100 64 bytes\n< data 64 bytes\n#9 read-eeprom 002100 64 bytes: data");
    }
    void commands() {
        QFETCH(QString, sim);
        QFETCH(QString, cli);
        QFETCH(QString, trace);
        SimProcess device(Args(sim + " --com 3 --baud 0"));
        QVERIFY(device.Start());
        QString seen = RunCli(cli);
        for (const QByteArray& line : FileText("/frames.jsonl").split('\n')) {
            const QJsonObject frame = QJsonDocument::fromJson(line).object();
            const QString bytes = frame["bytes"].toString();
            if (!frame.isEmpty())
                seen += (frame["dir"] == "sent" ? "> " : "< ") + frame["meaning"].toString() +
                        (bytes.size() < 20 ? ": " + bytes : "") + "\n";
        }
        device.Stop();
        QCOMPARE(seen + Plain(device.Lines().last()), trace);
        // The firmware cannot read its configuration space: flash and EEPROM must match.
        const auto memory = [](const char* name) {
            return QString(FileText(name))
                .split('\n')
                .filter(QRegularExpression("^:(?!084000|02400E)"));
        };
        if (sim.contains("--dump")) QCOMPARE(memory("/read.hex"), memory("/dump.hex"));
        QCOMPARE(QSettings("Kestrel", "Kestrel").allKeys(), QStringList{"Kes_BootloaderForm/Port"});
        QVERIFY(!QFile::exists(QFileInfo(kCli).path() + "/Flash.hx"));
        QCOMPARE(QFile::exists(g_root + "/Flash.hx"), cli.startsWith("check --out"));
    }

    void help() {
        const QString seen = RunCli("--help");
        QVERIFY(seen.contains("--flash          Program or verify flash (with --eeprom: both).\n"));
        QVERIFY(seen.endsWith("\nexit 0\n"));
    }

    // Why a Com port cannot be used: a dangling link; (as nobody) the simulator's root-owned pty.
    void ports() {
        QCOMPARE(::chmod(QFile::encodeName(g_root), 0755), 0);  // so that nobody may run the copy
        QVERIFY(QFile::copy(kCli, g_root + "/kestrel-cli"));
        QVERIFY(QFile::link("/nowhere", g_root + "/.local/share/Kestrel/ports/com4"));
        SimProcess device({"--com", "2"});
        QVERIFY(device.Start());
        const QString nobody =
            ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const QStringList lines = RunCli("ports", Args(nobody + "@T/kestrel-cli")).split('\n');
        const QString com = "Com %1  @T/.local/share/Kestrel/ports/com%1 -> %2";
        QCOMPARE(lines.value(3), com.arg(4).arg("/nowhere  dangling link to /nowhere"));
        QCOMPARE(lines.value(4), "Serial ports:");
        if (nobody.isEmpty()) QSKIP("needs root to run kestrel-cli as nobody");
        QCOMPARE(lines.value(1),
                 com.arg(2).arg("/dev/pts/N  no permission (serial devices belong to the dialout "
                                "group: sudo usermod -aG dialout $USER, then log in again)"));
    }

    // The fast path ends the reply wait once the whole valid reply is in, and only then; the
    // link's checks stay. An EEPROM write (ack) or read (data) gets "FIRST|REST" in two reads.
    void fastReplies_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("trace");
        const QString etx = "msg Format Error: <ETX> character not present (!)";
        Row("ack at once", "write", "0F050504FB", "ended, ok");
        Row("ack split in its escape", "write", "0F05|0504FB", "ended, ok");
        Row("ack without fast", "slow", "0F050504FB", "waited, ok");
        Row("ack cut", "write", "0F0505", "waited, " + etx);
        Row("ack wrong sum", "write", "0F050504FC",
            "waited, msg Corrupt Data: In correct check sum value returned (!)");
        Row("ack of another command", "write", "0F0204FE",
            "waited, msg Format Error: Invalid Command byte received (!)");
        Row("data split", "read", "0F050401002100|050F04CB", "ended, ok 0f");
        Row("data then junk", "read", "0F050401002100050F04CB77", "ended, " + etx);
        Row("data wrong sum", "read", "0F050401002100050F04CC",
            "waited, msg Corrupt Data: In correct check sum value received (!)");
        Row("data no end", "read", "0F050401002100050FCB", "waited, " + etx);
    }
    void fastReplies() {
        QFETCH(QString, call);
        QFETCH(QString, reply);
        QFETCH(QString, trace);
        Trace seen;
        ScriptedPrompts prompts(seen);
        ScriptedWaits waits(seen);
        auto* port = new FakeSerialPort;
        const QList<QByteArray> parts = reply.toLatin1().split('|');
        port->responder = [&](auto) {
            port->Deliver(QByteArray::fromHex(parts[0]));
            return QByteArray::fromHex(parts.value(1));
        };
        clsHexComm link(std::unique_ptr<SerialPort>(port), prompts, waits);
        link.SetFastReplies(call != "slow");
        QVERIFY(link.OpenComPort(1));
        QByteArray data;
        if (call == "read" ? link.blnReadEEPROM(1, {0x00, 0x21, 0x00}, data)
                           : link.blnWriteEEPROM(1, {0x00, 0x21, 0x00}, Hex("0F")))
            seen.events << "ok " + data.toHex();
        seen.events.prepend(waits.deadline.hasExpired() ? "ended" : "waited");
        QCOMPARE(seen.events.join(", ").trimmed(), trace);
    }
};

KESTREL_TEST_MAIN(tst_Cli)
#include "tst_cli.moc"
