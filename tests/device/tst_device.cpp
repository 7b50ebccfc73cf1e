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
// A rig whose link talks to a bootloader that answers the version request, acknowledges each
// write and traces it with the link's interval and the progress bar ("P 000100 64 @0.08 #5":
// flash, word, bytes), and stays silent to writes at one word.
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
                return p[1] && !version.isEmpty() ? Frame::Build(QByteArray(2, '\0') + version)
                                                  : QByteArray();
            }
            const quint32 word = WordOf({quint8(p[2]), quint8(p[3]), quint8(p[4])});
            trace.Add(
                QString::asprintf("%c %06X %d", p[0] == 2 ? 'P' : 'E', word, int(p.size() - 5)) +
                at);
            return word == silentWord ? QByteArray() : Frame::Build(p.left(1));
        };
    }
    // Ticks the region unless "-"; writes its file unless "missing", a line of 16 bytes at each
    // word given, or puts a "folder" in its place.
    void Put(Tick tick, const QString& name, const QString& words) {
        host.ticks[tick] = words != "-";
        QFile file(ConvertedFiles::PathOf(Folder(), name));
        if (words == "folder") QDir().mkdir(file.fileName());
        if (words == "-" || words == "missing" || !file.open(QIODevice::WriteOnly)) return;
        for (const QString& word : words.split(' ', Qt::SkipEmptyParts))
            file.write(QString::asprintf("%02X,%02X,00", word.toUInt(nullptr, 16) & 0xFF,
                                         word.toUInt(nullptr, 16) >> 8)
                           .toLatin1() +
                       QByteArray(",A5").repeated(16) + "\r\n");
    }

    FakeSerialPort* port = new FakeSerialPort;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts, waits};
    QByteArray version;  // the two version bytes; none: silent
    quint32 silentWord = 0;
};

// "1*8,.*24": 8 words of the first line's bytes, 24 words of filler.
QByteArray Words(const QString& runs) {
    QByteArray bytes;
    for (const QString& run : runs.split(','))
        bytes += QByteArray(run.section('*', 1).toInt() * 2,
                            run[0] == '.' ? '\xFF' : char(run[0].digitValue()));
    return bytes;
}
}  // namespace

class tst_Device : public QObject {
    Q_OBJECT
public:
    explicit tst_Device(TestEnvironment&) {}

private slots:
    void connects_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("portMissing");
        QTest::addColumn<QString>("trace");  // after "Status=Connecting to PIC..."
        const auto row = [](const char* name, const char* version, bool missing, QString trace) {
            QTest::newRow(name) << QByteArray(version) << missing << trace;
        };
        row("v255.12", "\x0C\xFF", false,
            "version @0.2 #0|BootCodeVersion=v255.12|delay 1|Status=|enable 0110101");
        row("silent", "", false,
            "version @0.2 #0|version @0.2 #0|version @0.2 #0|msg No Response: No response "
            "received from bootloader firmware (!)|Status=");
        row("no port", "", true,
            "msg Kestrel: COM 1: not available. Change to another com port.|msg Coms Port Closed: "
            "First open a specified Coms Port (x)|Status=");
    }
    void connects() {
        QFETCH(QByteArray, version);
        QFETCH(bool, portMissing);
        QFETCH(QString, trace);
        DeviceRig rig;
        rig.version = version;
        if (portMissing) rig.port->missingDevices << PortPath::DeviceName(1);
        ConnectToPIC(rig.context);
        QCOMPARE(rig.trace.events.join('|'), "Status=Connecting to PIC...|" + trace);
    }

    void runs() {
        DeviceRig rig;
        QCoreApplication::setApplicationName("renamed");  // the program's own title stays
        RunPIC(rig.context);
        QCoreApplication::setApplicationName("Kestrel");
        rig.link.OpenComPort(1);
        RunPIC(rig.context);
        QCOMPARE(rig.trace.events.join('|'),
                 "msg Coms Port Closed: First open a specified Coms Port (x)|msg Kestrel: Unable "
                 "to reset PIC proccessor (x)|reset @1 #0|enable 0110001");
    }

    // Rows compare the messages, writes and enables; the first row the whole trace.
    void programs_data() {
        QTest::addColumn<QString>("flash");
        QTest::addColumn<QString>("eeprom");
        QTest::addColumn<QString>("at");  // the word where the device stays silent, or "stop"
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, QString flash, QString eeprom, QString at,
                            QString trace) {
            QTest::newRow(name) << flash << eeprom << at << trace;
        };
        const QString five = "100 108 110 118 120", end = "|enable 0110011",
                      noResponse =
                          "msg No Response: No response received from bootloader "
                          "firmware (!)|";
        row("both", "F0 F8 100 108 110 118 120", "2100 2110", "",
            "enable 0000000|range 0-7|progress 0|busy|Status=Programming Flash...|P 000100 64 "
            "@0.08 #7|P 000120 64 @0.08 #7|range 0-2|progress 0|busy|Status=Programming "
            "EEPROM...|E 002100 16 @0.2 #1|E 002110 16 @0.2 #2|delay 1|idle|progress "
            "0|Status=|enable 0110011");
        row("flash unreadable", "folder", "2100", "",
            "msg Flash Program Error: Converted program flash code file does not exist (x)|E "
            "002100 16 @0.2 #1" +
                end);
        row("flash fails", five, "2100", "120",
            "P 000100 64 @0.08 #5|P 000120 64 @0.08 #5|P 000120 64 @0.08 #5|" + noResponse +
                "msg Flash Program Error: Unable to program flash memory address:000120 (x)|E "
                "002100 16 @0.2 #1" +
                end);
        row("EEPROM fails", "-", "2100 2110 2120", "2110",
            "E 002100 16 @0.2 #1|E 002110 16 @0.2 #2|E 002110 16 @0.2 #2|" + noResponse +
                "msg EEPROM Program Error: Unable to program EEPROM memory address:002110 (x)" +
                end);
        row("empty, EEPROM missing", "", "missing", "",
            "msg EEPROM Program Error: Converted EEPROM code file does not exist (x)" + end);
        row("nothing ticked", "-", "-", "",
            "msg No code section selected: Please first select a code section to program from "
            "the Device menu");
        row("stop", five, "2100", "stop", "P 000100 64 @0.08 #5");
    }
    void programs() {
        QFETCH(QString, flash);
        QFETCH(QString, eeprom);
        QFETCH(QString, at);
        QFETCH(QString, trace);
        DeviceRig rig;
        rig.link.OpenComPort(1);
        rig.Put(Tick::ProgFlash, ConvertedFiles::kFlash, flash);
        rig.Put(Tick::ProgEEPROM, ConvertedFiles::kEEPROM, eeprom);
        rig.silentWord = at.toUInt(nullptr, 16);
        rig.trace.onEvent = [&](const QString& event) {
            if (at == "stop" && event.startsWith("P ")) rig.waits.Stop();
        };
        ProgramPIC(rig.context);
        const bool whole = QTest::currentDataTag() == QString("both");
        const QRegularExpression keys("^(msg|P |E |enable 0110)");
        QCOMPARE((whole ? rig.trace.events : rig.trace.events.filter(keys)).join('|'), trace);
    }

    // Lines are "word:words" (hexadecimal word), each line's bytes its number in the file;
    // rows are "address:runs" as in Words().
    void flashRows_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("rows");
        const auto row = [](const char* name, QString lines, QString rows) {
            QTest::newRow(name) << lines << rows;
        };
        row("five lines", "100:8 108:8 110:8 118:8 120:8",
            "000100:1*8,2*8,3*8,4*8 000120:5*8,.*24");
        row("below 0x100", "F0:8 F8:8 FC:8", "000100:3*4,.*28");
        row("later wins", "140:8 100:8 144:2", "000100:2*8,.*24 000140:1*4,3*2,1*2,.*24");
        row("across a row", "1BC:8", "0001A0:.*28,1*4 0001C0:1*4,.*28");
        row("end of flash", "1FF8:16 2000:8", "001FE0:.*24,1*8");
        row("all below 0x100", "0:8 F8:8", "");
    }
    void flashRows() {
        QFETCH(QString, lines);
        QFETCH(QString, rows);
        FlashImage image;
        char number = 0;
        for (const QString& line : lines.split(' ')) {
            const ByteAddr at = ByteAddrOfWord(line.section(':', 0, 0).toUInt(nullptr, 16));
            const QByteArray data(line.section(':', 1).toInt() * 2, ++number);
            QVERIFY(image.Add({at, {}, data}).isEmpty());
        }
        QStringList written, expected;
        for (const WriteBlock& row : image.Finish()) {
            QCOMPARE(WordOf(row.bytAddr), row.addressText.toUInt(nullptr, 16));
            written << row.addressText + ':' + row.bytData.toHex();
        }
        for (const QString& row : rows.split(' ', Qt::SkipEmptyParts))
            expected << row.section(':', 0, 0) + ':' + Words(row.section(':', 1)).toHex();
        QCOMPARE(written, expected);
    }
};

KESTREL_TEST_MAIN(tst_Device)
#include "tst_device.moc"
