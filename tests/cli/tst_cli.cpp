#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "portpath.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
const QString kCli = QStringLiteral(KESTREL_CLI);

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

// kestrel-cli (or a copy) to its end; prefix runs it through another program (setpriv).
CliResult RunCli(const QStringList& arguments, const QStringList& prefix = {},
                 const QString& cli = kCli) {
    QProcess process;
    if (prefix.isEmpty())
        process.start(cli, arguments);
    else
        process.start(prefix.first(), prefix.mid(1) + QStringList{cli} + arguments);
    if (!process.waitForFinished(60000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString Data(const char* name) {
    return qEnvironmentVariable("KESTREL_TEST_DATA") + QLatin1Char('/') + QLatin1String(name);
}

QByteArray FileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Args(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const QString kBlinkMatch = QStringLiteral("verify: 17 flash words and 256 EEPROM bytes match\n");
const QString kWritten = QStringLiteral("program: flash and EEPROM written\n");
}  // namespace

class tst_Cli : public QObject {
    Q_OBJECT
public:
    explicit tst_Cli(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    // Commands against the simulator on the port the window stored (Com 1 unless a row stores
    // another); the window's settings and program folder are never written.
    void device_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("storedPort");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("simLast");
        QTest::newRow("program blink, verify, run")
            << Args("program --fast --verify --run") + QStringList{Data("blink.hex")} << 0
            << kWritten + kBlinkMatch + "run: device reset\n"
            << "#27 reset";
        QTest::newRow("program table flash")
            << Args("program --flash --verify") + QStringList{Data("table.hex")} << 0
            << "program: flash written\nverify: 9 flash words and 0 EEPROM bytes match\n"
            << "#5 read-flash 000200 64 bytes: data";
        QTest::newRow("program table EEPROM")
            << Args("program --fast --eeprom --verify") + QStringList{Data("table.hex")} << 0
            << "program: EEPROM written\nverify: 0 flash words and 16 EEPROM bytes match\n"
            << "#4 read-eeprom 002100 64 bytes: data";
        QTest::newRow("info on the stored Com 3") << Args("info") << 3 << "v1.0\n"
                                                  << "#1 read-version 2 bytes: v1.0";
        QTest::newRow("run") << Args("run") << 0 << "run: device reset\n"
                             << "#1 reset";
    }
    void device() {
        QFETCH(QStringList, arguments);
        QFETCH(int, storedPort);
        QFETCH(QString, out);
        QFETCH(QString, simLast);
        if (storedPort != 0)
            QSettings(QStringLiteral("Kestrel"), QStringLiteral("Kestrel"))
                .setValue(QStringLiteral("Kes_BootloaderForm/Port"), storedPort);
        SimProcess sim({QStringLiteral("--link"), PortPath::LinkPath(storedPort ? storedPort : 1),
                        QStringLiteral("--baud"), QStringLiteral("0")});
        QVERIFY(sim.Start());
        const CliResult result = RunCli(arguments + QStringList{QStringLiteral("--quiet")});
        QVERIFY(sim.Stop());
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, 0);
        QCOMPARE(sim.Lines().last(), simLast);
        QCOMPARE(QSettings(QStringLiteral("Kestrel"), QStringLiteral("Kestrel")).allKeys().size(),
                 storedPort != 0 ? 1 : 0);
        QVERIFY(!QFile::exists(QFileInfo(kCli).path() + QStringLiteral("/Flash.hx")));
    }

    // What verify finds: a byte the device stored wrongly, or another program altogether.
    void verifyDifferences_data() {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::newRow("flash row of blink")
            << Args("--fault corrupt@3")
            << Args("program --verify") + QStringList{Data("blink.hex")}
            << kWritten +
                   "000180  device 0BA1  file 0BA0\n"
                   "verify: 1 difference in 17 flash words and 256 EEPROM bytes\n";
        QTest::newRow("EEPROM line of table")
            << Args("--fault corrupt@4")
            << Args("program --verify") + QStringList{Data("table.hex")}
            << kWritten +
                   "002100  device 4A  file 4B\n"
                   "verify: 1 difference in 9 flash words and 16 EEPROM bytes\n";
        QTest::newRow("blink against table")
            << QStringList{QStringLiteral("--load"), Data("table.hex")}
            << QStringList{QStringLiteral("verify"), QStringLiteral("--fast"), Data("blink.hex")}
            << QStringLiteral(
                   "000100  device 3003  file 1683\n000101  device 2200  file 1303\n"
                   "000102  device 0086  file 0186\n000103  device 2900  file 1283\n"
                   "000104  device 3FFF  file 1303\n000105  device 3FFF  file 0186\n"
                   "000106  device 3FFF  file 0986\n000107  device 3FFF  file 2180\n"
                   "000108  device 3FFF  file 2180\n000109  device 3FFF  file 305A\n"
                   "verify: 273 differences in 17 flash words and 256 EEPROM bytes\n");
    }
    void verifyDifferences() {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        SimProcess sim(simOptions + Args("--baud 0"));
        QVERIFY(sim.Start());
        const CliResult result = RunCli(arguments + QStringList{QStringLiteral("--quiet")});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out, out);
        QCOMPARE(result.status, 3);
    }

    // read gives back the memory the device was loaded with, in the dump's own layout.
    void readBack_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("firstByte");  // the dump's records below it are not read
        QTest::newRow("all") << Args("read --fast --all") << 0;
        QTest::newRow("from 0x100") << Args("read --fast") << 0x200;
    }
    void readBack() {
        QFETCH(QStringList, arguments);
        QFETCH(int, firstByte);
        const QString dump = m_environment.Root() + QStringLiteral("/dump.hex");
        const QString read = m_environment.Root() + QStringLiteral("/read.hex");
        SimProcess sim({QStringLiteral("--load"), Data("table.hex"), QStringLiteral("--dump"), dump,
                        QStringLiteral("--baud"), QStringLiteral("0")});
        QVERIFY(sim.Start());
        const CliResult result = RunCli(
            arguments + QStringList{QStringLiteral("--quiet"), QStringLiteral("--out"), read});
        QVERIFY(sim.Stop());
        QCOMPARE(result.status, 0);
        QByteArrayList expected = FileText(dump).split('\n');
        expected.removeIf([&](const QByteArray& record) {
            return record.mid(7, 2) == "00" && record.mid(3, 4).toInt(nullptr, 16) < firstByte;
        });
        QCOMPARE(FileText(read).split('\n'), expected);
        QVERIFY(expected.size() > 4);
    }

    // Each link fault ends the run with the window's message and status 1.
    void linkFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("err");
        QTest::newRow("silent") << "silent"
                                << "No Response: No response received from bootloader firmware\n";
        QTest::newRow("bad-checksum") << "bad-checksum"
                                      << "Corrupt Data: In correct check sum value received\n";
        QTest::newRow("wrong-command") << "wrong-command"
                                       << "Format Error: Invalid Command byte received\n";
        QTest::newRow("no-end") << "no-end"
                                << "Format Error: <ETX> character not present\n";
        QTest::newRow("cut") << "cut"
                             << "Format Error: <ETX> character not present\n";
        QTest::newRow("short-data") << "short-data"
                                    << "Error: Incorrect requested number of data bytes received\n";
        QTest::newRow("unplug") << "unplug@1"
                                << "Kestrel: COM 1: not available. Change to another com port.\n";
    }
    void linkFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, err);
        SimProcess sim(
            {QStringLiteral("--fault"), fault, QStringLiteral("--baud"), QStringLiteral("0")});
        QVERIFY(sim.Start());
        const QString out = m_environment.Root() + QStringLiteral("/unread.hex");
        const CliResult result = RunCli(Args("read --fast --quiet --out") + QStringList{out});
        QCOMPARE(result.err, err);
        QCOMPARE(result.status, 1);
        QVERIFY(!QFile::exists(out));
    }

    // Bad usage and files the import refuses end with status 2 before any port is opened.
    void badInput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("hex");  // written to the file named FILE
        QTest::addColumn<QString>("err");
        QTest::newRow("bad record")
            << Args("program @FILE") << QByteArray(":020000040000FA\n:020000000029D6\n")
            << "Format Error: Incorrect line check sum value\n";
        QTest::newRow("no 04 record") << Args("check @FILE") << QByteArray(":020000000029D5\n")
                                      << "Format Error: Hex file is not a 32-bit address hex "
                                         "format file\n";
        QTest::newRow("not hexadecimal") << Args("verify @FILE") << QByteArray(":0200000400G0FA\n")
                                         << "kestrel-cli: @FILE could not be imported\n";
        QTest::newRow("missing file")
            << Args("program missing.hex") << QByteArray()
            << "Select another hex file: The hex file selected does not exist!\n";
        QTest::newRow("unknown command")
            << Args("frob") << QByteArray() << "kestrel-cli: unknown command frob\n";
        QTest::newRow("read without out")
            << Args("read") << QByteArray() << "kestrel-cli: read needs --out FILE.hex\n";
        QTest::newRow("program without file")
            << Args("program") << QByteArray() << "kestrel-cli: program needs a HEX file\n";
    }
    void badInput() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, hex);
        QFETCH(QString, err);
        const QString file = m_environment.Root() + QStringLiteral("/bad.hex");
        QFile(file).remove();
        if (!hex.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(hex);
        }
        arguments.replaceInStrings(QStringLiteral("@FILE"), file);
        const CliResult result = RunCli(arguments + QStringList{QStringLiteral("--quiet")});
        QCOMPARE(result.err, QString(err).replace(QStringLiteral("@FILE"), file));
        QCOMPARE(result.status, 2);
    }

    // ports says plainly why a Com port cannot be used: a link whose device has gone, or a
    // device the user may not open (as nobody: the simulator's pseudo-terminal is root's).
    void ports_data() {
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<int>("com");
        QTest::addColumn<QString>("state");
        QTest::newRow("dangling") << false << 3 << "/nowhere  dangling link to /nowhere";
        QTest::newRow("no permission")
            << true << 2
            << "  no permission (serial devices belong to the dialout group: sudo usermod -aG "
               "dialout $USER, then log in again)";
    }
    void ports() {
        QFETCH(bool, asNobody);
        QFETCH(int, com);
        QFETCH(QString, state);
        if (asNobody && ::geteuid() != 0) QSKIP("needs root to run kestrel-cli as nobody");
        QTemporaryDir home;  // one that nobody may read and run from
        QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther));
        const QString ports = home.path() + QStringLiteral("/Kestrel/ports");
        QVERIFY(QDir().mkpath(ports));
        QVERIFY(QFile::link(QStringLiteral("/nowhere"), ports + QStringLiteral("/com3")));
        SimProcess sim({QStringLiteral("--link"), ports + QStringLiteral("/com2")});
        QVERIFY(sim.Start());
        const QStringList prefix =
            QStringList{QStringLiteral("env"), QStringLiteral("XDG_DATA_HOME=") + home.path(),
                        QStringLiteral("HOME=") + home.path()};
        const QStringList nobody = Args("setpriv --reuid=65534 --regid=65534 --clear-groups");
        // A copy that nobody may run, wherever the build tree is.
        const QString cli = home.path() + QStringLiteral("/kestrel-cli");
        QVERIFY(QFile::copy(kCli, cli));
        const CliResult result =
            RunCli({QStringLiteral("ports")}, (asNobody ? nobody : QStringList()) + prefix, cli);
        QCOMPARE(result.status, 0);
        const QStringList lines = result.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(4), QStringLiteral("Serial ports:"));
        const QString line = lines.value(com - 1);
        QVERIFY2(line.startsWith(QStringLiteral("Com %1  %2/com%1 -> ").arg(com).arg(ports)) &&
                     line.endsWith(state),
                 qPrintable(result.out));
    }

    // --log: each frame sent and each reply, in order, with what it means.
    void frameLog() {
        SimProcess sim(Args("--baud 0"));
        QVERIFY(sim.Start());
        const QString log = m_environment.Root() + QStringLiteral("/frames.jsonl");
        QCOMPARE(RunCli(Args("program --quiet --log") + QStringList{log, Data("blink.hex")}).status,
                 0);
        QStringList expected = {"sent read-version 2 bytes",        "received data 2 bytes",
                                "sent write-flash 000100 64 bytes", "received ack",
                                "sent write-flash 000180 64 bytes", "received ack"};
        for (int line = 0; line < 17; ++line)
            expected
                << QStringLiteral("sent write-eeprom 0021%1 16 bytes")
                       .arg(QString::number(line * 16 & 0xFF, 16).rightJustified(2, '0').toUpper())
                << QStringLiteral("received ack");
        QStringList seen;
        double last = 0;
        const QByteArrayList lines = FileText(log).split('\n');
        for (const QByteArray& line : lines.mid(0, lines.size() - 1)) {
            const QJsonObject frame = QJsonDocument::fromJson(line).object();
            seen << frame[QStringLiteral("dir")].toString() + QLatin1Char(' ') +
                        frame[QStringLiteral("meaning")].toString();
            QVERIFY(frame[QStringLiteral("ms")].toDouble() >= last);
            last = frame[QStringLiteral("ms")].toDouble();
        }
        QCOMPARE(seen, expected);
        QCOMPARE(QJsonDocument::fromJson(lines.first())[QStringLiteral("bytes")].toString(),
                 QStringLiteral("0f 00 02 ff 04 ff"));
    }

    // --json: one object with the version and, per region, bytes, blocks, attempts and retries.
    void jsonReport_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("flashAttempts");
        QTest::newRow("clean") << "silent@99" << 2;
        QTest::newRow("first flash write unanswered once") << "silent@2" << 3;
    }
    void jsonReport() {
        QFETCH(QString, fault);
        QFETCH(int, flashAttempts);
        SimProcess sim(
            {QStringLiteral("--fault"), fault, QStringLiteral("--baud"), QStringLiteral("0")});
        QVERIFY(sim.Start());
        const CliResult result =
            RunCli(Args("program --json --quiet --verify --fast") + QStringList{Data("blink.hex")});
        QCOMPARE(result.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
        const QJsonObject regions = json[QStringLiteral("regions")].toObject();
        const auto counts = [&](const char* region) {
            const QJsonObject r = regions[QLatin1String(region)].toObject();
            return QStringLiteral("%1 %2 %3 %4")
                .arg(r[QStringLiteral("bytes")].toInt())
                .arg(r[QStringLiteral("blocks")].toInt())
                .arg(r[QStringLiteral("attempts")].toInt())
                .arg(r[QStringLiteral("retries")].toInt());
        };
        QCOMPARE(counts("flash"),
                 QStringLiteral("128 2 %1 %2").arg(flashAttempts).arg(flashAttempts - 2));
        QCOMPARE(counts("eeprom"), QStringLiteral("272 17 17 0"));
        QCOMPARE(counts("read-flash"), QStringLiteral("128 2 2 0"));
        QCOMPARE(counts("read-eeprom"), QStringLiteral("256 4 4 0"));
        QCOMPARE(json[QStringLiteral("version")].toString(), QStringLiteral("v1.0"));
        QCOMPARE(json[QStringLiteral("verify")][QStringLiteral("differences")].toInt(), 0);
        QCOMPARE(json[QStringLiteral("exit")].toInt(), 0);
        QCOMPARE(json[QStringLiteral("file")].toString(), Data("blink.hex"));
    }

    // check: the memory map and what the window would skip or move, converted into --out;
    // progress as plain lines when stderr is no terminal.
    void check_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("out");
        QTest::newRow("table")
            << Data("table.hex")
            << "flash    000000, 000100-000103, 000200-000204 (10 words)\n"
               "eeprom   00-0B, 10-13 (16 bytes, as the device gets them)\n"
               "user ID  0A 0B 0C 0D\n"
               "config   3F79\n"
               "warning: flash 000000 lies below word 0x100: the bootloader's own, never written\n"
               "warning: EEPROM record at 4240 names offset 20 but goes to offset 10: the records "
               "are packed one after another (1 records moved)\n"
               "warning: user ID present but not programmed by this bootloader\n"
               "warning: configuration present but not programmed by this bootloader\n";
        QTest::newRow("blink")
            << Data("blink.hex")
            << "flash    000000, 000004, 000100-00010B, 000180-000184 (19 words)\n"
               "eeprom   00-FF (256 bytes, as the device gets them)\n"
               "user ID  01 02 03 04\n"
               "config   3F72\n"
               "warning: flash 000000, 000004 lies below word 0x100: the bootloader's own, never "
               "written\n"
               "warning: EEPROM record at 4400 names offset 100 but goes to offset 00: the "
               "records are packed one after another (2 records moved)\n"
               "warning: user ID present but not programmed by this bootloader\n"
               "warning: configuration present but not programmed by this bootloader\n";
    }
    void check() {
        QFETCH(QString, file);
        QFETCH(QString, out);
        QTemporaryDir folder;
        const CliResult result =
            RunCli({QStringLiteral("check"), QStringLiteral("--out"), folder.path(), file});
        QCOMPARE(result.out, out);
        QCOMPARE(result.err,
                 QStringLiteral("Importing Hex File...\nImporting Hex File... %1/%1\nSuccess...\n")
                     .arg(FileText(file).count('\n')));
        QCOMPARE(result.status, 0);
        QVERIFY(QFile::exists(folder.path() + QStringLiteral("/Flash.hx")));
    }

private:
    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_Cli)
#include "tst_cli.moc"
