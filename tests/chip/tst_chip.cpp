#include <QAction>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include "commandrig.h"
#include "composition.h"
#include "framecodec.h"
#include "framereader.h"
#include "simprocess.h"
#include "testmain.h"

namespace {
const QString kFirmware = QStringLiteral(KESTREL_FIRMWARE);
const QString kExamples = QStringLiteral(KESTREL_EXAMPLES);
QString g_root;  // the test's HOME

const auto Path = [](const char* name) { return g_root + '/' + QLatin1String(name); };

// Whole frames in the bytes.
qsizetype Frames(const QByteArray& bytes) {
    FrameReader reader;
    return std::count_if(bytes.cbegin(), bytes.cend(), [&reader](char byte) {
        return reader.Feed(quint8(byte)) != FrameReader::Result::NeedMore;
    });
}

// The host's end of a simulated port.
struct Line {
    explicit Line(const QString& path) : port(path) { port.open(QIODevice::ReadWrite); }

    // Sends the bytes and gathers what comes back: so many whole frames, or, when none is due,
    // what came in 0.4 s.
    QByteArray Exchange(const QByteArray& bytes, int frames) {
        QByteArray reply;
        port.write(bytes);
        if (frames == 0) QTest::qWait(400);
        [[maybe_unused]] const bool all =
            QTest::qWaitFor([&] { return Frames(reply += port.readAll()) >= frames; }, 5000);
        return reply;
    }

    QSerialPort port;
};

struct Request {
    QByteArray bytes;
    int replies;
};

// Every command, escaped bytes in address and data, the refused and damaged requests.
QList<Request> Requests() {
    QByteArray counting;
    for (int i = 0; i < 64; ++i) counting.append(char(i < 8 ? 0x0F - i : i));
    const auto framed = [](const QByteArray& payload, int replies) {
        return Request{Frame::Build(payload), replies};
    };
    QList<Request> table;
    for (const char* payload :
         {"0002ff", "0004ff", "0108000000", "0110002000", "0110002100", "0108000100", "0408002100",
          "01080f0500", "05020421000f05", "0404042100"})
        table << framed(Hex(payload), 1);
    table << framed(Hex("020100010004050f8811223344"), 1) << framed(Hex("0108000100"), 1)
          << framed(Hex("0208e01f00") + counting, 1) << framed(Hex("0140e01f00"), 1)
          << framed(Hex("0503002100050f33"), 1) << framed(Hex("0403ff2100"), 1)
          << framed(Hex("03020001000000"), 1) << framed(Hex("0110000100"), 1);
    for (const char* refused :
         {"020180000011223344556677", "020102010011223344556677", "0201000200",
          "0202fc1f00112233445566778899aabbccddeeff", "02010020001122334455667788", "0301c0000000",
          "0301f01f0000", "030102010000", "0309000100000000000000000000", "070200200704ff",
          "0000ff00", "0500002100"})
        table << framed(Hex(refused), 0);
    table << framed(Hex("0209000100") + QByteArray(72, 0x11), 0)
          << framed(Hex("054b002100") + QByteArray(75, 0x22), 0)
          << Request{Hex("0f0002ff04fe"), 0}                                // bad checksum
          << Request{Hex("0f0208020501") + Frame::Build(Hex("0002ff")), 1}  // cut, then whole
          << Request{Frame::Build(Hex("070200200704ff")) + Frame::Build(Hex("0002ff")), 1}
          << Request{Frame::Build(Hex("0002ff")) + Frame::Build(Hex("0108000100")), 1};
    return table;
}

// Each request's reply, and the memory afterwards in the dump.
QStringList Serve(const QStringList& options, const QString& dump) {
    SimProcess device(options + QStringList{"--link", Path("port"), "--dump", dump});
    if (!device.Start()) return {"not started"};
    Line line(Path("port"));
    QStringList replies;
    for (const Request& request : Requests())
        replies << line.Exchange(request.bytes, request.replies).toHex();
    return device.Stop() ? replies : QStringList{"not stopped"};
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

class tst_Chip : public QObject {
    Q_OBJECT
public:
    explicit tst_Chip(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    // The firmware in the chip and kestrel-sim with the firmware's words give the same replies
    // to every command, to refused and damaged requests, and leave the same memory. A frame
    // that comes while a reply goes out is lost to the receiver's overrun.
    void requests() {
        const QStringList chip = Serve({"--chip", "--speed", "0"}, Path("chip.hex"));
        const QStringList sim = Serve({"--load", kFirmware}, Path("sim.hex"));
        QCOMPARE(chip, sim);
        QCOMPARE(chip.count(QString()), 15);  // the refused and damaged ones
        QCOMPARE(FileBytes(Path("chip.hex")), FileBytes(Path("sim.hex")));
    }

    // At every reset: a blank chip stays in the bootloader; a chip holding an application runs
    // it after about 2 s unless a host has spoken by then, and then stays until the reset request.
    void entryRule_data() {
        QTest::addColumn<QString>("application");
        QTest::addColumn<int>("speakAtMs");  // -1: no host
        QTest::addColumn<bool>("runs");
        QTest::newRow("blank, host after 5 s") << QString() << 5000 << false;
        QTest::newRow("application, no host") << "blink.hex" << -1 << true;
        QTest::newRow("application, host late in the window") << "blink.hex" << 1500 << false;
    }
    void entryRule() {
        QFETCH(QString, application);
        QFETCH(int, speakAtMs);
        QFETCH(bool, runs);
        QStringList options{"--chip", "--link", Path("port")};
        if (!application.isEmpty()) options << "--load" << kExamples + '/' + application;
        SimProcess chip(options);
        QVERIFY(chip.Start());
        Line line(Path("port"));
        const QByteArray version = Frame::Build(Hex("0002ff"));
        if (speakAtMs >= 0) {
            QTest::qWait(speakAtMs);
            QCOMPARE(line.Exchange(version, 1).toHex(), QByteArray("0f0002000104fd"));
        }
        QCOMPARE(chip.WaitForLine("PORTB = ", 2500), runs);
        if (!runs) QCOMPARE(line.Exchange(version, 1).toHex(), QByteArray("0f0002000104fd"));
        QVERIFY(chip.Stop());
    }

    // An application whose main loop and interrupt handler lie in other code pages than the
    // vectors counts its interrupts without losing W, STATUS or PCLATH.
    void interruptExample() {
        SimProcess chip({"--chip", "--speed", "0", "--load", kExamples + "/interrupt.hex"});
        QVERIFY(chip.Start());
        QVERIFY(chip.WaitForLine("PORTB = 0x20"));
        QVERIFY(chip.Stop());
        QStringList expected;
        for (int i = 0; i <= 0x20; ++i) expected << QString::asprintf("PORTB = 0x%02X", i);
        QCOMPARE(chip.Lines().filter("PORTB = ").first(expected.size()), expected);
    }

    // The window against the chip at real time: blink.hex imported, connected, flash and
    // EEPROM programmed, run; the LED then toggles at the rate of its EEPROM byte (about 0.4 s),
    // not at the erased byte's 10 s.
    void windowRoad() {
        SimProcess chip({"--chip"});
        QVERIFY(chip.Start());
        CommandRig rig;
        rig.prompts.files = {kExamples + "/blink.hex"};
        Composition parts(rig.prompts, rig.Folder());
        for (const char* item :
             {"mnuImportHexFile", "mnuConnectToPIC", "mnuProgEEPROM", "mnuProgramPIC", "mnuRunPIC"})
            parts.window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        const QStringList messages = rig.trace.events.filter(QStringLiteral("msg "));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(chip.Lines().filter("PORTB = ").size() >= 4, 3000);
        QVERIFY(chip.Stop());
        QCOMPARE(chip.Lines().filter("PORTB = ").first(4),
                 (QStringList{"PORTB = 0x00", "PORTB = 0x01", "PORTB = 0x00", "PORTB = 0x01"}));
    }

    // kestrel-cli writes and verifies the image that fills most of flash and runs it; a chip
    // reset with that memory gives it all back to a read.
    void cliRoad() {
        SimProcess chip(
            {"--chip", "--speed", "0", "--link", Path("port"), "--dump", Path("filled.hex")});
        QVERIFY(chip.Start());
        QProcess cli;
        const QStringList common{"--port", Path("port"), "--fast", "--quiet"};
        cli.start(KESTREL_CLI,
                  common + QStringList{"program", "--verify", "--run", kExamples + "/fill.hex"});
        QVERIFY(cli.waitForFinished(120000) && cli.exitCode() == 0);
        QVERIFY(chip.WaitForLine("PORTB = "));
        QVERIFY(chip.Stop());
        // At real time, so that the read comes within the 2 s the firmware listens.
        SimProcess again({"--chip", "--link", Path("port"), "--load", Path("filled.hex")});
        QVERIFY(again.Start());
        cli.start(KESTREL_CLI, common + QStringList{"read", "--out", Path("read.hex")});
        QVERIFY(cli.waitForFinished(120000) && cli.exitCode() == 0);
        QVERIFY(again.Stop());
        const auto application = [](const QString& path) {  // flash records from word 0x100
            return QString(FileBytes(path))
                .split('\n')
                .filter(QRegularExpression("^:10(0[2-9A-F]|[1-3])"));
        };
        QCOMPARE(application(Path("read.hex")), application(Path("filled.hex")));
    }
};

KESTREL_TEST_MAIN(tst_Chip)
#include "tst_chip.moc"
