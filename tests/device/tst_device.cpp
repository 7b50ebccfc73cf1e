#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include "clshexcomm.h"
#include "commandrig.h"
#include "connectcommand.h"
#include "convertedfiles.h"
#include "fakeserialport.h"
#include "flashimage.h"
#include "framecodec.h"
#include "portpath.h"
#include "programcommand.h"
#include "testmain.h"

namespace {
// A rig whose link talks to a bootloader: it answers the version request with 12 and 255,
// acknowledges each write and traces every request with the link's interval and the progress
// bar ("P 000100 64 @0.08 #5": flash, word, bytes; E for EEPROM).
struct DeviceRig : CommandRig {
    DeviceRig() {
        host.state.objHexComm = &link;
        port->responder = [this](const QByteArray& frame) {
            QByteArray p;
            quint8 checksum = 0;
            Frame::UnpackReply(frame, p, checksum);
            const QString at = QString(" @%1 #%2").arg(link.TimeOutInterval()).arg(host.progress);
            if (p.size() < 5) {
                trace.Add((p[1] ? "version" : "reset") + at);
                return p[1] && silent != "all" ? Frame::Build(Hex("00000CFF")) : QByteArray();
            }
            const quint32 word = WordOf({quint8(p[2]), quint8(p[3]), quint8(p[4])});
            trace.Add(
                QString::asprintf("%c %06X %d", p[0] == 2 ? 'P' : 'E', word, int(p.size() - 5)) +
                at);
            return word == silent.toUInt(nullptr, 16) ? QByteArray() : Frame::Build(p.left(1));
        };
    }
    // Ticks the region unless "-"; writes its file unless "missing", a line of 16 bytes at each
    // word given, or puts a "folder" in its place.
    void Put(Tick tick, const QString& name, const QString& words) {
        host.ticks[tick] = words != "-";
        QFile file(ConvertedFiles::PathOf(Folder(), name));
        if (words == "folder") QDir().mkdir(file.fileName());
        if (words == "-" || words == "missing" || !file.open(QIODevice::WriteOnly)) return;
        for (const QString& text : words.split(' ', Qt::SkipEmptyParts)) {
            const quint32 word = text.toUInt(nullptr, 16);
            file.write(QString::asprintf("%02X,%02X,00", word & 0xFF, word >> 8).toLatin1() +
                       QByteArray(",A5").repeated(16) + "\r\n");
        }
    }

    FakeSerialPort* port = new FakeSerialPort;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts, waits};
    QString silent;  // the word whose writes get no answer; "all": nothing answers
};
}  // namespace

class tst_Device : public QObject {
    Q_OBJECT
public:
    explicit tst_Device(TestEnvironment&) {}

private slots:
    // Runs the row's commands (connect, program, run) and compares the whole trace, or only its
    // messages, writes and final enable.
    void commands_data() {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("flash");
        QTest::addColumn<QString>("eeprom");
        QTest::addColumn<QString>("device");  // a silent word, "all", "stop" or "no port"
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, QString commands, QString flash, QString eeprom,
                            QString device, bool whole, QString trace) {
            QTest::newRow(name) << commands << flash << eeprom << device << whole << trace;
        };
        row("the road", "cpr", "F0 F8 100 108 110 118 120", "2100 2110", "", true,
            "Status=Connecting to PIC...|version @0.2 #0|BootCodeVersion=v255.12|delay 1|Status=|"
            "enable 0110101|enable 0000000|range 0-7|progress 0|busy|Status=Programming Flash...|"
            "P 000100 64 @0.08 #7|P 000120 64 @0.08 #7|range 0-2|progress 0|busy|Status="
            "Programming EEPROM...|E 002100 16 @0.2 #1|E 002110 16 @0.2 #2|delay 1|idle|progress "
            "0|Status=|enable 0110011|reset @0.2 #0|enable 0110001");
        row("connect, no answer", "c", "-", "-", "all", true,
            "Status=Connecting to PIC...|version @0.2 #0|version @0.2 #0|version @0.2 #0|msg No "
            "Response: No response received from bootloader firmware (!)|Status=");
        row("connect, no port", "c", "-", "-", "no port", true,
            "Status=Connecting to PIC...|msg Kestrel: COM 1: not available. Change to another com "
            "port.|msg Coms Port Closed: First open a specified Coms Port (x)|Status=");
        row("run, port closed", "r", "-", "-", "", true,
            "msg Coms Port Closed: First open a specified Coms Port (x)|msg Kestrel: Unable to "
            "reset PIC proccessor (x)");
        row("flash unreadable", "cp", "folder", "2100", "", false,
            "msg Flash Program Error: Converted program flash code file does not exist (x)|E "
            "002100 16 @0.2 #1|enable 0110011");
        row("flash fails", "cp", "100 108 110 118 120", "2100", "120", false,
            "P 000100 64 @0.08 #5|P 000120 64 @0.08 #5|P 000120 64 @0.08 #5|msg No Response: No "
            "response received from bootloader firmware (!)|msg Flash Program Error: Unable to "
            "program flash memory address:000120 (x)|E 002100 16 @0.2 #1|enable 0110011");
        row("EEPROM fails", "cp", "-", "2100 2110 2120", "2110", false,
            "E 002100 16 @0.2 #1|E 002110 16 @0.2 #2|E 002110 16 @0.2 #2|msg No Response: No "
            "response received from bootloader firmware (!)|msg EEPROM Program Error: Unable to "
            "program EEPROM memory address:002110 (x)|enable 0110011");
        row("flash empty, EEPROM missing", "cp", "", "missing", "", false,
            "msg EEPROM Program Error: Converted EEPROM code file does not exist (x)|enable "
            "0110011");
        row("nothing ticked", "cp", "-", "-", "", false,
            "msg No code section selected: Please first select a code section to program from "
            "the Device menu");
        row("stop", "cp", "100 108 110 118 120", "2100", "stop", false, "P 000100 64 @0.08 #5");
    }
    void commands() {
        QFETCH(QString, commands);
        QFETCH(QString, flash);
        QFETCH(QString, eeprom);
        QFETCH(QString, device);
        QFETCH(bool, whole);
        QFETCH(QString, trace);
        DeviceRig rig;
        rig.Put(Tick::ProgFlash, ConvertedFiles::kFlash, flash);
        rig.Put(Tick::ProgEEPROM, ConvertedFiles::kEEPROM, eeprom);
        rig.silent = device;
        if (device == "no port") rig.port->missingDevices << PortPath::DeviceName(1);
        rig.trace.onEvent = [&](const QString& event) {
            if (device == "stop" && event.startsWith("P ")) rig.waits.Stop();
        };
        for (const QChar command : commands) {
            // Run titles its message Kestrel whatever the executable is called.
            QCoreApplication::setApplicationName(command == 'r' ? "renamed" : "Kestrel");
            (command == 'c' ? ConnectToPIC : command == 'p' ? ProgramPIC : RunPIC)(rig.context);
        }
        QCoreApplication::setApplicationName("Kestrel");
        const QRegularExpression keys("^(msg|P |E |enable 0110011)");
        QCOMPARE((whole ? rig.trace.events : rig.trace.events.filter(keys)).join('|'), trace);
    }

    // Lines are "word:words" (hexadecimal), each line's bytes its number in the file. A row shows
    // a word by the number of the line it came from, or "." for filler.
    void flashRows_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("rows");
        const auto row = [](const char* name, QString lines, QString rows) {
            QTest::newRow(name) << lines << rows;
        };
        row("five lines", "100:8 108:8 110:8 118:8 120:8",
            "000100:11111111222222223333333344444444 000120:55555555........................");
        row("below 0x100", "F0:8 F8:8 FC:8", "000100:3333............................");
        row("later wins", "140:8 100:8 144:2",
            "000100:22222222........................ 000140:11113311........................");
        row("across a row", "1BC:8",
            "0001A0:............................1111 0001C0:1111............................");
        row("end of flash", "1FF8:16 2000:8", "001FE0:........................11111111");
        row("all below 0x100", "0:8 F8:8", "");
    }
    void flashRows() {
        QFETCH(QString, lines);
        QFETCH(QString, rows);
        FlashImage image;
        char number = 0;
        for (const QString& line : lines.split(' ')) {
            const ByteAddr at = ByteAddrOfWord(line.section(':', 0, 0).toUInt(nullptr, 16));
            QVERIFY(image.Add({at, {}, QByteArray(line.section(':', 1).toInt() * 2, ++number)})
                        .isEmpty());
        }
        QStringList written;
        for (const WriteBlock& row : image.Finish()) {
            QCOMPARE(WordOf(row.bytAddr), row.addressText.toUInt(nullptr, 16));
            written << row.addressText + ':';
            for (qsizetype i = 0; i + 1 < row.bytData.size(); i += 2) {
                const char low = row.bytData[i], high = row.bytData[i + 1];
                written.last() += low != high ? '?' : low == '\xFF' ? '.' : char('0' + low);
            }
        }
        QCOMPARE(written.join(' '), rows);
    }
};

KESTREL_TEST_MAIN(tst_Device)
#include "tst_device.moc"
