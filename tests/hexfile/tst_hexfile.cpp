#include <QDir>
#include <QTest>
#include <QTimer>

#include "commandrig.h"
#include "convertedfiles.h"
#include "importcommand.h"
#include "modconverthexfile.h"
#include "testmain.h"

using namespace modConvertHexFile;

namespace {
const QByteArray kLinear = ":020000040000FA", kCode = ":020000000029D5", kEnd = ":00000001FF";
const QString kSuccess = "|idle|Status=Success...|enable 0111001|delay 1|Status=|progress 0";
const QString kFailed = "|idle|Status=Failed...|delay 1|Status=|progress 0";
const QString kSilent = "|idle|Status=|progress 0";  // no message, no result

// Imports the lines as in.hex (none: no file). The trace comes back joined, the program folder
// shown as DIR and the steps up to the record loop as "head" when exactly as they should be.
QString Import(CommandRig& rig, const QByteArrayList& lines, const QByteArray& ending = "\r\n") {
    QFile file(rig.Folder() + "/in.hex");
    if (lines.isEmpty()) file.remove();
    if (!lines.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write(lines.join(ending) + ending);
    file.close();
    rig.prompts.files = {file.fileName()};
    rig.trace.events.clear();
    ImportHexFile(rig.context);
    const QString head =
        QString("range 0-%1|progress 0|busy|Status=Importing Hex File...").arg(lines.size());
    return rig.trace.events.join('|').replace(head, "head").replace(rig.Folder(), "DIR");
}
// Flash|EEPROM|UserID|Config
QString Files(CommandRig& rig) {
    QStringList contents;
    for (const QString& name : ConvertedFiles::kAll) {
        QFile file(ConvertedFiles::PathOf(rig.Folder(), name));
        contents << (file.open(QIODevice::ReadOnly) ? file.readAll() : "-");
    }
    return contents.join('|');
}
}  // namespace

class tst_HexFile : public QObject {
    Q_OBJECT
public:
    explicit tst_HexFile(TestEnvironment&) {}

private slots:
    // The check's messages and their order, and the other conversions, show through imports.
    void unitEdges() {
        QString message;
        QVERIFY(!blnHexLineError(":FF000000" + QByteArray(510, 'F') + "00", message));
        ResetEEPROMLine();
        QStringList addresses;
        for (int record = 0; record < 35; ++record) {
            ConvertEEPROMLine(":0442000012AB34CDFF");
            if (lngEEPROMHalf == 0) addresses << strEEPROMLine.left(2);
        }
        QCOMPARE(addresses.join(' '), "00 10 20 30 40 50 60 70 80 90 A0 B0 C0 D0 E0 F0 00");
        QCOMPARE(strEEPROMLine, "10,21,00,12,34");  // half a line, waiting for its second record
    }

    void failures_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, QByteArrayList lines, const QString& end) {
            if (lines.size() == 1) lines = {kLinear, kCode, lines[0], kEnd};
            QTest::newRow(name) << lines << "open DIR|head" + end;
        };
        const QString format = "|msg Format Error: ", type = "|msg Incorrect hex file format: ";
        row("colon", {";020000000029D5"}, format + "Missing colon ':' at start of line" + kFailed);
        row("count, sum", {":030000000029D5"},
            format + "Number of data bytes not equal to line byte counter" + kFailed);
        row("upper", {":020000040001F9"}, format + "Incorrect address detected" + kFailed);
        row("upper, sum", {":020000040001FA"}, format + "Incorrect line check sum value" + kFailed);
        row("type 02", {":020000020000FC"}, type + "Record type field incorrect" + kFailed);
        row("not hex", {":0200000000Z9D5"}, kSilent);
        row("count read before colon", {"XZZ00000001020304F2"}, kSilent);
        const QString not32 = format + "Hex file is not a 32-bit address hex format file" + kFailed;
        row("16-bit", {kCode, kEnd}, not32);
        row("16-bit, sum", {":020000000029D6", kEnd}, not32);
        row("no end", {kLinear, kCode}, kFailed);
    }
    void failures() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, trace);
        CommandRig rig;
        QCOMPARE(Import(rig, lines), trace);
        QCOMPARE(Files(rig), lines[0] == kLinear ? "00,00,00,00,29\r\n|||" : "|||");
    }

    void converts_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<QString>("files");
        QFile table(qEnvironmentVariable("KESTREL_TEST_DATA") + "/table.hex");
        QVERIFY(table.open(QIODevice::ReadOnly));
        const QByteArrayList lines = table.readAll().trimmed().split('\n');
        for (const QByteArray ending : {"\r\n", "\n", "\r"})
            QTest::newRow(ending.toHex())
                << lines << ending
                << "00,00,00,00,29\r\n00,01,00,03,30,00,22,86,00,00,29\r\n00,02,00,82,07,10,34,20,"
                   "34,30,34,40,34\r\n|00,21,00,4B,65,73,74,72,65,6C,21,01,02,03,04\r\n10,21,00,"
                   "A5,5A,C3,3C\r\n|00,20,00,0A,0B,0C,0D\r\n|07,20,00,79,3F\r\n";
        // Regions stick until an exact opening address; nothing after the end record is read.
        QTest::newRow("regions")
            << QByteArray(
                   ":020000040000FA :02001000ab1231 :02FFFE001112DE :044000002100220079 "
                   ":0240100023008B :02400e000102AD :0242000031008B :020800003200C4 "
                   ":02422000330069 :02400E003F3F32 :00000001FF junk")
                   .split(' ')
            << QByteArray("\n")
            << "08,00,00,ab,12\r\nFF,7F,00,11,12\r\n|00,21,00,31,32\r\n10,21,00,33\r\n|00,20,00,"
               "21,22\r\n08,20,00,23\r\n07,20,00,01\r\n|07,20,00,3F,3F\r\n";
    }
    void converts() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArray, ending);
        QFETCH(QString, files);
        CommandRig rig;
        QCOMPARE(Import(rig, lines, ending), "open DIR|head" + kSuccess);
        QCOMPARE(rig.host.peak, lines.indexOf(kEnd) + 1);
        QCOMPARE(Files(rig), files);
    }

    void lineLimit() {
        CommandRig rig;
        const QByteArrayList codes(32765, kCode);
        QCOMPARE(Import(rig, QByteArrayList{kLinear} + codes << kEnd, "\n"),
                 "open DIR|head" + kSuccess);
        QCOMPARE(Import(rig, QByteArrayList{kLinear} + codes << kCode << kEnd, "\n"),
                 "open DIR/in.hex" + kSilent);
    }

    // The path is saved before the records are read, and only when it changes; the dialog
    // starts at the stored file while it exists. A file that cannot be written ends silently.
    void dialogAndPath() {
        CommandRig rig;
        QString saved;
        rig.trace.onEvent = [&](const QString& event) {
            if (event.startsWith("msg")) saved = rig.settings.Read("BootHexFilePath", "Path", {});
        };
        Import(rig, {kLinear, ";bad", kEnd});
        const QString path = rig.Folder() + "/in.hex";
        QCOMPARE(saved, path);
        QCOMPARE(rig.prompts.lastFilter, "Hex Files (*.hex);;Text Files (*.txt);;All Files (*.*)");
        rig.settings.Write("BootHexFilePath", "Path", "elsewhere");
        const QString config = rig.Folder() + "/Config.hx";  // a folder cannot be written
        QVERIFY(QFile::remove(config) && QDir().mkdir(config));
        QCOMPARE(Import(rig, {kLinear, kEnd}), "open DIR/in.hex|head" + kSilent);
        QCOMPARE(rig.settings.Read("BootHexFilePath", "Path", {}), "elsewhere");
        QCOMPARE(Import(rig, {}),
                 "open DIR|msg Select another hex file: The hex file selected "
                 "does not exist! (!)");
        rig.trace.events.clear();
        ImportHexFile(rig.context);  // cancelled: only the dialog
        QCOMPARE(rig.trace.events, QStringList{"open " + rig.Folder()});
    }

    // A second import reached through a yield of the first does not start; a stop ends at once.
    void reentryAndStop() {
        CommandRig rig, second;
        QTimer::singleShot(0, [&] { Import(second, {kLinear, kEnd}); });
        rig.trace.onEvent = [&](const QString& event) {
            if (event == "busy") rig.waits.Stop();
        };
        QCOMPARE(Import(rig, {kLinear, kCode, kEnd}), "open DIR|head");
        QCOMPARE(second.trace.events, QStringList());
    }
};

KESTREL_TEST_MAIN(tst_HexFile)
#include "tst_hexfile.moc"
