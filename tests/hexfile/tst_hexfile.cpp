#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTest>
#include <QTimer>
#include <span>

#include "clearcommand.h"
#include "commandrig.h"
#include "convertedfiles.h"
#include "importcommand.h"
#include "testmain.h"

namespace {
const QByteArray kLinear = ":020000040000FA", kCode = ":020000000029D5", kEnd = ":00000001FF";
const QString kHead = "open DIR|head";
const QString kSuccess = "|idle|Status=Success...|enable 0111001|delay 1|Status=|progress 0";
const QString kFailed = "|idle|Status=Failed...|delay 1|Status=|progress 0";
const QString kSilent = "|idle|Status=|progress 0";  // no message, no result

// Imports the lines as in.hex (none: no file). The trace comes back joined, the program folder
// shown as DIR and the steps up to the record loop as "head" when exactly as they should be.
QString Import(CommandRig& rig, const QByteArrayList& lines) {
    QFile file(rig.Folder() + "/in.hex");
    if (file.open(QIODevice::WriteOnly) && file.write(lines.join('\n') + '\n') && lines.isEmpty())
        file.remove();
    file.close();
    rig.prompts.files = {file.fileName()};
    rig.trace.events.clear();
    ImportHexFile(rig.context);
    const QString head =
        QString("range 0-%1|progress 0|busy|Status=Importing Hex File...").arg(lines.size());
    return rig.trace.events.join('|').replace(head, "head").replace(rig.Folder(), "DIR");
}
}  // namespace

class tst_HexFile : public QObject {
    Q_OBJECT
public:
    explicit tst_HexFile(TestEnvironment&) {}

private slots:
    void imports_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<QString>("files");  // Flash|EEPROM|UserID|Config, "-" for no file
        // A single line comes after a linear address and a code record, before the end record.
        const auto row = [](const char* name, QByteArrayList lines, const QString& trace,
                            QString files = {}) {
            if (lines.size() == 1) lines = {kLinear, kCode, lines[0], kEnd};
            if (files.isEmpty()) files = lines[0] == kLinear ? "00,00,00,00,29\r\n|||" : "|||";
            QTest::newRow(name) << lines << trace << files;
        };
        const QString format = kHead + "|msg Format Error: ";
        row("colon", {";020000000029D5"}, format + "Missing colon ':' at start of line" + kFailed);
        row("odd digits: count, sum", {":0200000000290D5"},
            format + "Number of data bytes not equal to line byte counter" + kFailed);
        row("upper", {":020000040001F9"}, format + "Incorrect address detected" + kFailed);
        row("upper, sum", {":020000040001FA"}, format + "Incorrect line check sum value" + kFailed);
        row("type 02", {":020000020000FC"},
            kHead + "|msg Incorrect hex file format: Record type field incorrect" + kFailed);
        row("not hex", {":0200000000Z9D5"}, kHead + kSilent);
        row("count read before colon", {"XZZ00000001020304F2"}, kHead + kSilent);
        const QString not32 = format + "Hex file is not a 32-bit address hex format file" + kFailed;
        row("16-bit", {kCode, kEnd}, not32);
        row("16-bit, sum", {":020000000029D6", kEnd}, not32);
        row("no end", {kLinear, kCode}, kHead + kFailed);
        // The line count is 16-bit: a file too long for it ends before any file is made.
        row("32768 lines", QByteArrayList{kLinear} + QByteArrayList(32766, kCode) << kEnd,
            "open DIR" + kSilent, "-|-|-|-");
        // Regions stick until an exact opening address; nothing after the end record is read.
        row("regions",
            QByteArray(":020000040000FA :02001000ab1231 :02FFFE001112DE :044000002100220079 "
                       ":0240100023008B :02400e000102AD :0242000031008B :020800003200C4 "
                       ":02422000330069 :02400E003F3F32 :00000001FF junk")
                .split(' '),
            kHead + kSuccess,
            "08,00,00,ab,12\r\nFF,7F,00,11,12\r\n|00,21,00,31,32\r\n10,21,00,33\r\n|00,20,00,21,"
            "22\r\n08,20,00,23\r\n07,20,00,01\r\n|07,20,00,3F,3F\r\n");
    }
    // Each import also stores its path, and a second import reached through a yield does not start.
    void imports() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, trace);
        QFETCH(QString, files);
        CommandRig rig, second;
        QTimer::singleShot(0, [&] { ImportHexFile(second.context); });
        QCOMPARE(Import(rig, lines), trace);
        QCOMPARE(second.trace.events, QStringList());
        QStringList contents;
        for (const QString& name : ConvertedFiles::kAll) {
            QFile file(ConvertedFiles::PathOf(rig.Folder(), name));
            contents << (file.open(QIODevice::ReadOnly) ? file.readAll() : "-");
        }
        QCOMPARE(contents.join('|'), files);
        QCOMPARE(rig.settings.Read("BootHexFilePath", "Path", {}), rig.Folder() + "/in.hex");
        if (trace.endsWith(kSuccess)) QCOMPARE(rig.host.peak, lines.indexOf(kEnd) + 1);
    }

    // A converted file's name held by anything but the user's own plain file is not written
    // through: the import ends silently. Clearing takes the name away, never what it names.
    void plantedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("plant");
        const int rows = geteuid() == 0 ? 5 : 4;  // only root can give a file away
        const char* plants[][2] = {{"Flash.hx", "link"},
                                   {"EEPROM.hx", "dangling"},
                                   {"UserID.hx", "fifo"},
                                   {"Config.hx", "hard link"},
                                   {"Flash.hx", "another user's"}};
        for (const auto& [name, plant] : std::span(plants, rows))
            QTest::newRow(plant) << name << plant;
    }
    void plantedNames() {
        QFETCH(QString, name);
        QFETCH(QString, plant);
        CommandRig rig;
        QTemporaryDir elsewhere;
        const QByteArray target = QFile::encodeName(elsewhere.filePath("target"));
        const QByteArray planted = QFile::encodeName(ConvertedFiles::PathOf(rig.Folder(), name));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("mine") == 4);
        file.close();
        const int made = plant == "link"       ? symlink(target, planted)
                         : plant == "dangling" ? symlink(target + ".new", planted)
                         : plant == "fifo"     ? mkfifo(planted, 0644)
                         : plant == "hard link"
                             ? link(target, planted)
                             : (QFile::copy(target, planted) ? chown(planted, 65534, 65534) : -1);
        QCOMPARE(made, 0);
        if (plant == "link") QVERIFY(QFile::setPermissions(file.fileName(), QFile::ReadOwner));
        QCOMPARE(Import(rig, {kLinear, kCode, kEnd}), kHead + kSilent);
        file.setFileName(QFile::decodeName(plant == "another user's" ? planted : target));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "mine");
        ClearImportedCode(rig.context);
        const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(rig.Folder()).entryList(all), QStringList{"in.hex"});
        QCOMPARE(QDir(elsewhere.path()).entryList(all), QStringList{"target"});
    }

    // The dialog starts at the last file while it exists; an unchanged path is not stored again.
    void dialog() {
        CommandRig rig;
        Import(rig, {kEnd});
        rig.settings.Write("BootHexFilePath", "Path", "elsewhere");
        QCOMPARE(Import(rig, {kEnd}), "open DIR/in.hex|head" + kSuccess);
        QCOMPARE(rig.settings.Read("BootHexFilePath", "Path", {}), "elsewhere");
        QCOMPARE(rig.prompts.lastFilter, "Hex Files (*.hex);;Text Files (*.txt);;All Files (*.*)");
        QCOMPARE(Import(rig, {}),
                 "open DIR|msg Select another hex file: The hex file selected "
                 "does not exist! (!)");
    }
};

KESTREL_TEST_MAIN(tst_HexFile)
#include "tst_hexfile.moc"
