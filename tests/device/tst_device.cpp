#include <QDir>
#include <QTest>

#include "clshexcomm.h"
#include "commandrig.h"
#include "connectcommand.h"
#include "convertedfiles.h"
#include "fakeserialport.h"
#include "flashimage.h"
#include "framecodec.h"
#include "programcommand.h"
#include "testmain.h"

namespace {
const QString kConnected =
    "Status=Connecting to PIC...|version @0.2 #0|BootCodeVersion=v255.12|delay 1|Status=|"
    "enable 0110101|";
// The end of programming, the bar's last value shown with the pointer going back.
const QString kProgrammed = "delay 1|idle #%1|progress 0|Status=|enable 0110011";

// A rig whose link talks to a bootloader: it answers the version request with 12 and 255 unless
// silent, acknowledges each write and traces every request with the link's interval and the
// progress bar ("P 000100 64 @0.08 #5": flash, word, bytes; E for EEPROM).
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
                return p[1] && !silent ? Frame::Build(Hex("00000CFF")) : QByteArray();
            }
            trace.Add(QString::asprintf("%c %06X %d", p[0] == 2 ? 'P' : 'E',
                                        WordOf({quint8(p[2]), quint8(p[3]), quint8(p[4])}),
                                        int(p.size() - 5)) +
                      at);
            return Frame::Build(p.left(1));
        };
        trace.onEvent = [this](const QString& event) {
            if (event == "idle") trace.events.last() += QString(" #%1").arg(host.progress);
        };
    }
    // Ticks the region unless "-"; writes its file unless "missing", the lines apart by spaces;
    // "folder" puts a folder in its place, which cannot be read.
    void Put(Tick tick, const QString& name, const QString& lines) {
        host.ticks[tick] = lines != "-";
        if (lines == "folder") QDir(Folder()).mkdir(name);
        QFile file(ConvertedFiles::PathOf(Folder(), name));
        if (lines != "-" && lines != "missing" && file.open(QIODevice::WriteOnly))
            file.write(lines.toLatin1().replace(' ', "\r\n") + "\r\n");
    }

    FakeSerialPort* port = new FakeSerialPort;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts, waits};
    bool silent = false;
};
}  // namespace

class tst_Device : public QObject {
    Q_OBJECT
public:
    explicit tst_Device(TestEnvironment&) {}

private slots:
    // Runs the row's commands (connect, program, run) and compares the whole trace.
    void commands_data() {
        QTest::addColumn<QString>("commands");  // connect (C: to a silent device), program, run
        QTest::addColumn<QString>("flash");
        QTest::addColumn<QString>("eeprom");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, QString commands, QString flash, QString eeprom,
                            QString trace) {
            QTest::newRow(name) << commands << flash << eeprom << trace;
        };
        // Flash rows go out once the whole file is read; EEPROM lines as they are read. The bar
        // counts the lines whose data have been acknowledged.
        row("the road", "cpr", "00,01,00,A5 20,01,00,A5", "00,21,00,A5,5A 10,21,00,01",
            kConnected +
                "enable 0000000|range 0-2|progress 0|busy|Status=Programming Flash...|P 000100 64 "
                "@0.08 #0|P 000120 64 @0.08 #1|range 0-2|progress 0|busy|Status=Programming "
                "EEPROM...|E 002100 2 @0.2 #0|E 002110 1 @0.2 #1|" +
                kProgrammed.arg(2) + "|reset @0.2 #0|enable 0110001");
        // A line below 0x100 is done at once; one across two rows, with the second.
        row("rows", "cp", "F8,00,00,A5 00,01,00,A5 08,01,00,A5 1E,01,00,A5,5A,A5,5A,A5,5A,A5,5A",
            "-",
            kConnected +
                "enable 0000000|range 0-4|progress 0|busy|Status=Programming Flash...|P 000100 64 "
                "@0.08 #1|P 000120 64 @0.08 #3|" +
                kProgrammed.arg(4));
        row("no answer", "C", "-", "-",
            "Status=Connecting to PIC...|version @0.2 #0|version @0.2 #0|version @0.2 #0|msg No "
            "Response: No response received from bootloader firmware (!)|Status=");
        row("not connected", "pr", "-", "-",
            "msg No code section selected: Please first select a code section to program from the "
            "Device menu|msg Coms Port Closed: First open a specified Coms Port (x)|msg Kestrel: "
            "Unable to reset PIC proccessor (x)");
        // An unreadable file is a missing one; a line that does not decode ends its region.
        row("unreadable, bad line", "cp", "folder", "00,21,00,A5 08,21,00,ZZ",
            kConnected +
                "enable 0000000|msg Flash Program Error: Converted program flash code file does "
                "not exist (x)|range 0-2|progress 0|busy|Status=Programming EEPROM...|E 002100 1 "
                "@0.2 #0|msg EEPROM Program Error: Unable to program EEPROM memory "
                "address:002108 (x)|" +
                kProgrammed.arg(1));
    }
    void commands() {
        QFETCH(QString, commands);
        QFETCH(QString, flash);
        QFETCH(QString, eeprom);
        QFETCH(QString, trace);
        // The program's own messages keep its title whatever the executable is called.
        QCoreApplication::setApplicationName(QStringLiteral("renamed"));
        DeviceRig rig;
        rig.Put(Tick::ProgFlash, ConvertedFiles::kFlash, flash);
        rig.Put(Tick::ProgEEPROM, ConvertedFiles::kEEPROM, eeprom);
        rig.silent = commands == "C";
        for (const QChar command : commands)
            (command == 'p' ? ProgramPIC : command == 'r' ? RunPIC : ConnectToPIC)(rig.context);
        QCOMPARE(rig.trace.events.join('|'), trace);
    }

    // Each line's bytes are its number; "." is filler. Words below 0x100 and past the end of
    // flash are dropped, and a later line wins.
    void flashRows() {
        FlashImage image;
        char number = '0';
        for (const auto& [word, words] : {std::pair{0xFC, 8}, {0x140, 8}, {0x144, 2}, {0x1FF8, 16}})
            image.Add({ByteAddrOfWord(word), {}, QByteArray(words * 2, ++number)});
        QStringList rows;
        for (const WriteBlock& row : image.Finish())
            rows << row.addressText + ' ' + QByteArray(row.bytData).replace('\xFF', '.');
        QCOMPARE(rows.join(' '),
                 "000100 11111111........................................................ 000140 "
                 "2222222233332222................................................ "
                 "001FE0 ................................................4444444444444444");
    }
};

KESTREL_TEST_MAIN(tst_Device)
#include "tst_device.moc"
