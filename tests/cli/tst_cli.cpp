#include <sys/stat.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QtTest>

#include "clirun.h"
#include "clshexcomm.h"
#include "fakeserialport.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "simprocess.h"
#include "testmain.h"

using namespace CliRun;

namespace {
void Row(const char* name, const QString& first, const QString& second, const QString& trace) {
    QTest::newRow(name) << first << second << trace;
}
}  // namespace

class tst_Cli : public QObject {
    Q_OBJECT
public:
    explicit tst_Cli(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    void initTestCase() {
        WriteHex("/org0.hex", "0000:@38");
        WriteHex("/outside.hex", "0200:@4 4600:@2");
        WriteHex("/past.hex", "0200:@4 4400:@16 4410:@16");
        WriteHex("/warn.hex", "0000:FF7F3412 0002:0130 4202:1122");
        QFile segment(g_root + "/segment.hex");
        QVERIFY(segment.open(QIODevice::WriteOnly));
        segment.write(IntelHex::RecordText(2, 0, Hex("0010")) +
                      IntelHex::RecordText(0, 0x100, Hex("01020304")) +
                      IntelHex::RecordText(1, 0, {}));
    }

    void init() {
        QFile digits(g_root + "/nothex.hex");
        QVERIFY(digits.open(QIODevice::WriteOnly) && digits.write(":0200000400G0FA\n"));
        TestEnvironment::ClearSettings();
        QSettings("Kestrel", "Kestrel").setValue("Kes_BootloaderForm/Port", 3);
        QFile::remove(g_root + "/frames.jsonl");
    }

    // Each command against the simulator on the port the window stored; the window's settings
    // and program folder stay untouched. The trace goes on with the frames of --log (">" sent,
    // "<" received, short ones with bytes) and ends with the simulator's last line.
    void commands_data() {
        QTest::addColumn<QString>("sim");
        QTest::addColumn<QString>("cli");
        QTest::addColumn<QString>("trace");
        // table.hex: a word at 0, two rows from 0x100, EEPROM with a gap, user ID and config.
        const QString below =
            "flash below 0x100 belongs to the bootloader and is not written: "
            "0x0000 (a reset or interrupt stub? the program must start at 0x100)";
        const QString ids =
            "the file sets the user ID words 0x2000–0x2003: the bootloader never "
            "writes them; they must match the bootloader's own";
        const QString config =
            "the file sets the configuration word 0x2007 to 0x3F79: the "
            "bootloader never writes it; it must match the bootloader's own "
            "configuration";
        const QString warned =
            QStringList{below, ids, config}
                .replaceInStrings(QRegularExpression("^"), "E kestrel-cli: warning: ")
                .join('\n') +
            '\n';
        const QString written = "program: 2 flash rows and 16 EEPROM bytes written\n";
        const QString port = "E port: Com 3 (@T/.local/share/Kestrel/ports/com3)\n";
        Row("program, verify, run", "", "program --fast --verify --run --quiet @D/table.hex",
            written + "verify: 64 flash words and 16 EEPROM bytes match\nrun: device reset\n" +
                warned + port + "exit 0\n#9 reset");
        Row("info, each frame's meaning", "", "-v info",
            "v1.0\n" + port +
                "E > read-version 2 bytes\nE < data 2 bytes\nexit 0\n#1 read-version 2 bytes: "
                "v1.0");
        Row("run", "", "run", "run: device reset\n" + port + "exit 0\n#1 reset");
        Row("progress on a pipe: a line every 10 %", "", "program --eeprom @D/table.hex",
            "program: 0 flash rows and 16 EEPROM bytes written\n" + warned.section('\n', 1) + port +
                "E Writing EEPROM 50% (1/2)\nE Writing EEPROM 100% (2/2)\nexit 0\n#3 write-eeprom "
                "002120 4 bytes: ack");
        Row("corrupt flash", "--fault corrupt@3", "program --flash --verify --quiet @D/table.hex",
            "program: 2 flash rows and 0 EEPROM bytes written\n000200  device 0783  file 0782\n"
            "verify: 1 difference in 64 flash words and 0 EEPROM bytes\n" +
                warned + port + "exit 3\n#5 read-flash 000200 64 bytes: data");
        Row("corrupt EEPROM", "--fault corrupt@2", "program --eeprom --verify --quiet @D/table.hex",
            "program: 0 flash rows and 16 EEPROM bytes written\n002100  device 4A  file 4B\n"
            "verify: 1 difference in 0 flash words and 16 EEPROM bytes\n" +
                warned.section('\n', 1) + port + "exit 3\n#4 read-eeprom 002100 36 bytes: data");
        Row("erase, eight rows a request", "", "program --erase --flash --quiet @D/table.hex",
            "program: 2 flash rows and 0 EEPROM bytes written\n" + warned + port +
                "exit 0\n#34 write-flash 000200 64 bytes: ack");
        Row("erase not answered: blank rows", "--fault silent@2,3,4",
            "program --erase --flash --quiet @D/table.hex",
            "program: 2 flash rows and 0 EEPROM bytes written\n" + warned + port +
                "E kestrel-cli: erasing flash at 000100 failed: No response received from "
                "bootloader firmware (No Response)\nE kestrel-cli: the bootloader does not answer "
                "the erase command: writing blank rows instead\nexit 0\n#254 write-flash 000200 64 "
                "bytes: ack");
        // A damaged reply is sent again like a missing one; with one attempt, the first stops
        // the run: no EEPROM after a failed flash row.
        Row("damaged replies retried",
            "--fault bad-checksum@2 --fault no-end@4 --fault wrong-command@5",
            "program --flash --quiet --log @T/frames.jsonl @D/table.hex",
            "program: 2 flash rows and 0 EEPROM bytes written\n" + warned + port +
                "exit 0\n> read-version 2 bytes: 0f 00 02 ff 04 ff\n< data 2 bytes\n"
                "> write-flash 000100 64 bytes\n< damaged: 0f 02 04 ff\n"
                "> write-flash 000100 64 bytes\n< ack: 0f 02 04 fe\n"
                "> write-flash 000200 64 bytes\n< damaged: 0f 02 fe\n"
                "> write-flash 000200 64 bytes\n< damaged: 0f 82 04 7e\n"
                "> write-flash 000200 64 bytes\n< ack: 0f 02 04 fe\n"
                "#6 write-flash 000200 64 bytes: ack");
        Row("one attempt: stopped at the first damaged reply", "--fault cut@3",
            "program --retries 1 --quiet @D/table.hex",
            warned + port +
                "E kestrel-cli: writing flash at 000200 failed: <ETX> character not present "
                "(Format Error)\nE kestrel-cli: flash rows 0x0100–0x011F written and "
                "acknowledged; 0x0200 onward not written; EEPROM bytes 0x00 onward not written\n"
                "exit 1\n#3 write-flash 000200 64 bytes: ack [fault cut]");
        const QString read = "read --fast --quiet -o @T/read.hex";
        // As the firmware does, the simulator answers there with flash words 0-7.
        const QString wrapped =
            "E kestrel-cli: warning: the bootloader answers a read of 0x2000–0x2007 with flash "
            "words 0x0000–0x0007 (the chip cannot read its configuration space): left out of ";
        Row("read all", "--load @D/table.hex --dump @T/dump.hex", read + " --all",
            "read: 8448 words of 0x0000–0x21FF into @T/read.hex\n" + port + wrapped +
                "@T/read.hex\nexit 0\n#262 read-eeprom 0021C0 64 bytes: data");
        Row("read a range as binary", "--load @D/table.hex",
            "read --paced --quiet --range 0x102-104 --out @T/read.bin",
            "read: 3 words of 0x0102–0x0104 into @T/read.bin\n" + port +
                "exit 0\n#2 read-flash 000102 6 bytes: data");
        Row("read EEPROM to standard output", "--load @D/table.hex",
            "read -q --region eeprom --out -",
            ":020000040000FA\n:104200004B00650073007400720065006C002100B3\n"
            ":104210000100020003000400FF00FF00FF00FF0098\n"
            ":10424000A5005A00C3003C00FF00FF00FF00FF0074\n:00000001FF\n" +
                port +
                "E read: 256 words of 0x2100–0x21FF into -\nexit 0\n#5 read-eeprom 0021C0 64 "
                "bytes: data");
        Row("configuration words that are flash again", "--load @D/table.hex",
            "read -q -v --region config -o -",
            ":020000040000FA\n:00000001FF\n" + port +
                "E > read-version 2 bytes\nE < data 2 bytes\nE > read-flash 000000 16 bytes\n"
                "E < data 16 bytes\nE > read-config 002000 16 bytes\nE < data 16 bytes\n" +
                wrapped +
                "-\nE read: 0 words of 0x2000–0x2007 into -\nexit 0\n"
                "#3 read-config 002000 16 bytes: data");
        Row("read into a pipe, written as it is", "", "read -q --region eeprom -o @T/pipe",
            "read: 256 words of 0x2100–0x21FF into @T/pipe\n" + port +
                "exit 0\n#5 read-eeprom 0021C0 64 bytes: data");
        Row("read to a full standard output", "", "read -q --region eeprom -o - >/dev/full",
            port +
                "E kestrel-cli: cannot write standard output: No space left on device\nexit 1\n"
                "#5 read-eeprom 0021C0 64 bytes: data");
        const QString failed =
            port +
            "E kestrel-cli: asking for the version failed: %2\nexit 1\n#3 read-version 2 "
            "bytes: v1.0 [fault %1]";
        const auto fault = [&](const char* kind, const char* message) {
            Row(kind, QString("--fault ") + kind, read, failed.arg(kind, message));
        };
        fault("silent", "No response received from bootloader firmware (No Response)");
        fault("bad-checksum", "In correct check sum value received (Corrupt Data)");
        fault("wrong-command", "Invalid Command byte received (Format Error)");
        fault("no-end", "<ETX> character not present (Format Error)");
        fault("short-data", "Incorrect requested number of data bytes received (Error)");
        Row("no such port, said once", "", "--port @T/nowhere info",
            "E kestrel-cli: @T/nowhere: missing\nexit 1\nready /dev/pts/N");
        Row("KESTREL_PORT over the window's port", "", "KESTREL_PORT=@T/nowhere info",
            "E kestrel-cli: @T/nowhere: missing\nexit 1\nready /dev/pts/N");
        Row("waited for in vain", "", "-p @T/nowhere --wait 0.3 info",
            "E waiting for the bootloader on @T/nowhere: press the board's reset button\n"
            "E kestrel-cli: no answer from the bootloader on @T/nowhere within 0.3 s\nexit 1\n"
            "ready /dev/pts/N");
        Row("unplug", "--fault unplug@1", read,
            port +
                "E kestrel-cli: reading flash at 000000 failed: "
                "@T/.local/share/Kestrel/ports/com3 went away (the adapter unplugged?)\n"
                "exit 1\nunplugged");
        Row("log that fails later", "", "info --log /dev/full",
            "v1.0\n" + port +
                "E kestrel-cli: writing the log /dev/full failed: No space left on device\n"
                "exit 1\n#1 read-version 2 bytes: v1.0");
        // Files and command lines refused with status 2 before any frame.
        const QString ready = "exit 2\nready /dev/pts/N";
        const auto refused = [&](const char* name, const QString& cli, const QString& message) {
            Row(name, "", cli, "E kestrel-cli: " + message + '\n' + ready);
        };
        refused("not a HEX file", "program @D/blink.asm",
                "@D/blink.asm:1: no ':' at the start of the line");
        refused("not hexadecimal", "verify @T/nothex.hex",
                "@T/nothex.hex:1: 'G' is not a hexadecimal digit");
        refused("code below 0x100 only", "program @T/org0.hex",
                "the file's code lies in words 0x0000–0x0012, which belong to the bootloader; "
                "build the program to start at 0x100");
        refused("no memory there", "program @T/outside.hex",
                "line 3 puts data at words 0x2300, outside the PIC16F877A's memory (flash "
                "0x0000–0x1FFF, user ID 0x2000–0x2003, configuration 0x2007, EEPROM "
                "0x2100–0x21FF); build the program for this device");
        refused("EEPROM past 0xFF", "program @T/past.hex",
                "lines 3–4 put EEPROM data at bytes 0x0100–0x010F, past the EEPROM's last byte "
                "0xFF; make the EEPROM data fit in 256 bytes");
        refused("nothing to write", "verify --eeprom @T/org0.hex",
                "the file holds no EEPROM data: nothing to program or verify with --eeprom");
        Row("strict", "", "program --strict @D/table.hex",
            QString(warned).replace(": warning: ", ": error: ") + ready);
        refused("output not writable", "read --out @T/nowhere/read.hex",
                "cannot write @T/nowhere/read.hex");
        refused("log not writable", "info --log @T/nowhere/frames",
                "cannot write the log @T/nowhere/frames");
        refused("binary of two memories", "read --range 1FFF-2000 --out @T/a.bin",
                "a .bin file holds one memory: read flash, EEPROM or configuration alone "
                "(--region)");
        refused("erase and keep", "program --erase --keep @D/table.hex",
                "--erase and --keep exclude each other: choose one");
        refused("paced and fast", "info --paced --fast",
                "--paced and --fast exclude each other: choose one");
        refused("keep without flash", "program --keep --eeprom @D/table.hex",
                "--keep works on flash: leave out --eeprom");
        refused("an option of another command", "check --port 3 @D/table.hex",
                "--port does not apply to check (kestrel-cli help check)");
        refused("no attempt", "info --retries 0",
                "--retries takes a whole number of attempts, 1 to 100");
        refused("one port twice", "-p 3 -p @T/.local/share/Kestrel/ports/com3 info",
                "--port Com 3 and @T/.local/share/Kestrel/ports/com3 are the same port");
        refused("read of several boards", "read -p 1 -p 2 -o @T/r.hex",
                "read takes one port: give one --port");
        refused("unknown command", "frob", "unknown command frob (try --help)");
        Row("usage error as JSON", "", "-j frob",
            R"j({"exit":2,"messages":["kestrel-cli: unknown command frob (try --help)"],"regions":{}})j"
            "\nE kestrel-cli: unknown command frob (try --help)\n" +
                ready);
        Row("unknown option, as JSON", "", "--json info --frob",
            R"j({"exit":2,"messages":["kestrel-cli: Unknown option 'frob'."],"regions":{}})j"
            "\nE kestrel-cli: Unknown option 'frob'.\n" +
                ready);
        refused("read without out", "read", "read needs --out FILE.hex, FILE.bin or -");
        const QString map =
            "flash    0x0000, 0x0100–0x0103, 0x0200–0x0204 (10 words)\neeprom   "
            "0x00–0x0B, 0x20–0x23 (16 bytes)\nuser ID  000A 000B 000C 000D\n"
            "config   3F79\n";
        Row("check", "", "check @D/table.hex",
            map + QString(warned).remove("E kestrel-cli: ") +
                "where the window's import differs:\n"
                "line  record        kestrel-cli               the window\n"
                "2     0000 2 bytes  not written: below 0x100  not written (below 0x100: skipped "
                "without a word)\n"
                "9     4240 8 bytes  EEPROM 0x20–0x23          EEPROM 0x10–0x13 (packed after the "
                "EEPROM record before)\nexit 0\nready /dev/pts/N");
        Row("check a file program refuses, with warnings", "", "check @T/warn.hex",
            "flash    0x0000–0x0001 (2 words)\neeprom   0x01 (1 bytes)\nuser ID  none\nconfig   "
            "none\nrefused: the file's code lies in words 0x0000–0x0001, which belong to the "
            "bootloader; build the program to start at 0x100\nwarning: line 3 overwrites what "
            "line 2 set at 0x0001\nwarning: values wider than 14 bits, of which the device keeps "
            "the low 14: 0x0000\nwarning: EEPROM bytes with a high byte other than 00, which the "
            "EEPROM does not keep: 0x01\nwhere the window's import differs:\nline  record        "
            "kestrel-cli               the window\n2     0000 4 bytes  not written: below 0x100  "
            "not written (below 0x100: skipped without a word)\n3     0002 2 bytes  not written: "
            "below 0x100  not written (below 0x100: skipped without a word)\n4     4202 2 bytes  "
            "EEPROM 0x01               not written (taken as flash after line 2)\nexit 2\nready "
            "/dev/pts/N");
        Row("check a file the window refuses", "", "check @T/segment.hex",
            "flash    0x0100–0x0101 (2 words)\neeprom   none (0 bytes)\nuser ID  none\nconfig   "
            "none\nthe window refuses the file: line 1: Record type field incorrect (Incorrect "
            "hex file format)\nexit 0\nready /dev/pts/N");
        Row("json and log, first flash write unanswered once, then one word differs",
            "--fault silent@2 --fault corrupt@4",
            "program --json --quiet --verify --fast --log @T/frames.jsonl @D/table.hex",
            R"({"exit":3,"file":"@D/table.hex","messages":[")" +
                QStringList{below, ids, config}
                    .replaceInStrings(QRegularExpression("^"), "kestrel-cli: warning: ")
                    .join(R"(",")") +
                R"j(","port: Com 3 (@T/.local/share/Kestrel/ports/com3)"],)j"
                R"("port":"@T/.local/share/Kestrel/ports/com3","regions":{)"
                R"("eeprom":{"attempts":2,"blocks":2,"bytes":16,"retries":0,"seconds":0},)"
                R"("flash":{"attempts":3,"blocks":2,"bytes":128,"retries":1,"seconds":0},)"
                R"("read-eeprom":{"attempts":1,"blocks":1,"bytes":36,"retries":0,"seconds":0},)"
                R"("read-flash":{"attempts":2,"blocks":2,"bytes":128,"retries":0,"seconds":0}},)"
                R"("retries":1,"verify":{"blankRows":0,"bytes":16,"differences":1,"first":[)"
                R"({"address":"000200","device":"0783","file":"0782"}],"words":64},)"
                R"("version":"v1.0","warnings":[")" +
                QStringList{below, ids, config}.join(R"(",")") +
                R"("]})"
                "\n" +
                warned + port +
                "exit 3\n> read-version 2 bytes: 0f 00 02 ff 04 ff\n< data 2 bytes\n> write-flash "
                "000100 64 bytes\n> write-flash 000100 64 bytes\n< ack: 0f 02 04 fe\n> write-flash "
                "000200 64 bytes\n< ack: 0f 02 04 fe\n> write-eeprom 002100 12 bytes\n< ack: 0f 05 "
                "05 04 fb\n> write-eeprom 002120 4 bytes\n< ack: 0f 05 05 04 fb\n> read-flash "
                "000100 64 bytes\n< data 64 bytes\n> read-flash 000200 64 bytes\n< data 64 "
                "bytes\n> "
                "read-eeprom 002100 36 bytes\n< data 36 bytes\n#9 read-eeprom 002100 36 bytes: "
                "data");
    }
    void commands() {
        QFETCH(QString, sim);
        QFETCH(QString, cli);
        QFETCH(QString, trace);
        SimProcess device(Args(sim + " --com 3 --baud 0"));
        QVERIFY(device.Start());
        // KESTREL_PORT=PATH first: in the environment; >FILE last: standard output.
        const QString environment = cli.startsWith("KESTREL_PORT=") ? cli.section(' ', 0, 0) : "";
        QProcess reader;  // at the other end of @T/pipe
        if (cli.contains("@T/pipe")) {
            QVERIFY(::mkfifo(QFile::encodeName(g_root + "/pipe"), 0600) == 0);
            reader.start("cat", {g_root + "/pipe"});
        }
        QString seen =
            cli.contains('>')       ? Run(cli.section(" >", 0, 0),
                                          {"sh", "-c", "exec \"$0\" \"$@\"" + cli.section(' ', -1), kCli})
            : environment.isEmpty() ? Run(cli)
                                    : Run(cli.section(' ', 1), {"env", Args(environment)[0], kCli});
        for (const QByteArray& line : FileText("/frames.jsonl").split('\n')) {
            const QJsonObject frame = QJsonDocument::fromJson(line).object();
            const QString bytes = frame["bytes"].toString();
            QVERIFY(frame.isEmpty() ||
                    (frame["ms"].toDouble() > 0 && frame["port"].toString().endsWith("/com3")));
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
        if (cli.contains("read.bin")) QCOMPARE(FileText("/read.bin").toHex(), "86000029ff3f");
        if (cli.contains("@T/pipe")) {
            QVERIFY(reader.waitForFinished(5000) && QFile::remove(g_root + "/pipe"));
            QCOMPARE(reader.readAllStandardOutput(), ":020000040000FA\n:00000001FF\n");
        }
        QCOMPARE(QSettings("Kestrel", "Kestrel").allKeys(), QStringList{"Kes_BootloaderForm/Port"});
    }

    // Each command's own help; every option it names is in the manual page, the README and the
    // bash completion.
    void conventions() {
        QCOMPARE(Run("help verify"), Run("verify --help"));
        QVERIFY(Run("-h").contains("\nCommands:\n"));
        QCOMPARE(Run("--version"), "kestrel-cli " KESTREL_VERSION "\nexit 0\n");
        QVERIFY(Run("--help-all").endsWith("exit 2\n"));
        const auto text = [](const QString& path) {
            QFile file(kData + "/../../" + path);
            return file.open(QIODevice::ReadOnly) ? QString(file.readAll()) : QString();
        };
        const QString manual = text("docs/man/kestrel-cli.1").remove('\\');
        const QString readme = text("README.md"), completion = text("src/cli/kestrel-cli.bash");
        for (const char* command : {"ports", "check", "info", "program", "verify", "read", "run"}) {
            const QString help = Run(QString("help ") + command);
            QVERIFY(help.contains(QString("Usage: kestrel-cli ") + command));
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

    // Why a Com port cannot be used: a dangling link; (as nobody) the simulator's root-owned pty.
    void ports() {
        QCOMPARE(::chmod(QFile::encodeName(g_root), 0755), 0);  // so that nobody may run the copy
        QVERIFY(QFile::copy(kCli, g_root + "/kestrel-cli"));
        QVERIFY(QFile::link("/nowhere", g_root + "/.local/share/Kestrel/ports/com4"));
        SimProcess device({"--com", "2"});
        QVERIFY(device.Start());
        const QString nobody =
            ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const QStringList lines = Run("ports", Args(nobody + "@T/kestrel-cli")).split('\n');
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
