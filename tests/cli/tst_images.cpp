#include <QtTest>

#include "clirun.h"
#include "commandrig.h"
#include "convertedfiles.h"
#include "convertedline.h"
#include "golden.h"
#include "importcommand.h"
#include "linereader.h"
#include "simprocess.h"
#include "testmain.h"
#include "windowimport.h"

using namespace CliRun;

namespace {
constexpr int kEeprom = 0x2100;

// The bytes of a HEX file by address, read as plainly as the format allows: the test's own
// reading, apart from the program's.
QMap<quint32, quint8> Bytes(const QString& path) {
    QMap<quint32, quint8> bytes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return bytes;
    quint32 base = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray r = QByteArray::fromHex(line.trimmed().mid(1));
        const int type = r.size() > 4 ? r[3] : -1;
        if (type == 1) break;
        if (type == 4) base = (quint8(r[4]) << 8 | quint8(r[5])) << 16;
        for (int i = 0; type == 0 && i < quint8(r[0]); ++i)
            bytes[base + (quint8(r[1]) << 8 | quint8(r[2])) + i] = r[4 + i];
    }
    return bytes;
}

// The device the files go to: kestrel-sim without line time, or as KESTREL_TEST_DEVICE says
// (the chip itself).
const QString kDevice = qEnvironmentVariable("KESTREL_TEST_DEVICE", "--baud 0");

const auto Erased = [](int word) { return word >= kEeprom ? 0xFF : 0x3FFF; };

// Application flash words and EEPROM bytes (byte N as word 0x2100 + N) once the bytes are in a
// device that held `words`; with filler, each flash row the bytes reach is erased first.
QMap<int, int> Put(QMap<int, int> words, const QMap<quint32, quint8>& bytes, bool filler) {
    const auto flash = [](quint32 a) { return a >= 0x200 && a < 0x4000; };
    for (auto it = bytes.cbegin(); filler && it != bytes.cend(); ++it) {
        const int row = int(it.key() / 64 * 32);
        for (int w = row; flash(it.key()) && w < row + 32; ++w) words[w] = 0x3FFF;
    }
    for (auto it = bytes.cbegin(); it != bytes.cend(); ++it) {
        const int w = int(it.key() / 2), shift = it.key() % 2 ? 8 : 0;
        if (flash(it.key()))
            words[w] = ((words.value(w, 0x3FFF) & ~(0xFF << shift)) | it.value() << shift) & 0x3FFF;
        if (it.key() >= 0x4200 && it.key() < 0x4400 && shift == 0) words[w] = it.value();
    }
    for (auto it = words.begin(); it != words.end();)
        it = it.value() == Erased(it.key()) ? words.erase(it) : std::next(it);
    return words;
}

void WriteWords(const QString& path, const QMap<int, int>& words) {
    MemoryImage image;
    for (auto it = words.cbegin(); it != words.cend(); ++it) image.Set(it.key(), it.value());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(IntelHex::Text(image)) > 0);
}

// What the window's own import and programming write for the file: each Flash.hx line's bytes
// from its word address, never below word 0x100; each EEPROM.hx line's at its offset.
QMap<int, quint8> WindowWrites(const QString& path) {
    CommandRig rig;
    rig.prompts.files = {path};
    ImportHexFile(rig.context);
    QMap<int, quint8> written;
    for (const MemoryRegion region : {MemoryRegion::Flash, MemoryRegion::EEPROM}) {
        LineReader reader(ConvertedFiles::PathOf(rig.Folder(), region));
        QByteArray text;
        ByteAddr at{};
        QByteArray data;
        const bool eeprom = region == MemoryRegion::EEPROM;
        for (reader.Open(); reader.ReadLine(text) && ConvertedLine(text).Decode(at, data);)
            for (int i = 0; i < data.size(); ++i) {
                const int key = eeprom ? 0x10000 + ((at[0] + i) & 0xFF) : int(WordOf(at)) * 2 + i;
                if (eeprom || (key >= 0x200 && key < 0x4000)) written[key] = data[i];
            }
    }
    return written;
}
}  // namespace

// The program's reading of the lines ("|" apart): its error, or every word it set, each later
// record over an earlier one, and what fell outside the device.
QString Reading(const QString& lines) {
    QFile file(g_root + "/r.hex");
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(lines.toLatin1().replace('|', '\r'));
    file.close();
    const IntelHex::Reading reading = IntelHex::Read(file.fileName());
    if (!reading.error.isEmpty()) return Plain(reading.error);
    QStringList seen;
    for (const int word : reading.image.Words(0, 0x2200))
        seen << QString::asprintf("%04X=%04X", word, reading.image.Word(word));
    for (const IntelHex::Overwrite& o : reading.overwrites)
        seen << QString::asprintf("%d over %d at %04X-%04X", o.line, o.earlierLine, o.firstWord,
                                  o.lastWord);
    for (const IntelHex::Outside& o : reading.outside)
        seen << QString::asprintf("%d-%d outside %X-%X", o.line, o.lastLine, o.firstWord,
                                  o.lastWord);
    return seen.join(' ');
}

class tst_Images : public QObject {
    Q_OBJECT
public:
    explicit tst_Images(TestEnvironment& environment) { g_root = environment.Root(); }

private slots:
    // Each file programmed against the simulator (loaded first with `load` when given): the
    // device then holds what this test's own reading of the file says, in whole rows with
    // erased filler (kept words with --keep, nothing else with --erase); the window's import
    // puts the file where kestrel-cli's check says it would; and verify catches one planted
    // difference at the word `plant`.
    void images_data() {
        QTest::addColumn<QString>("file");  // records, or a file of the test data
        QTest::addColumn<QString>("load");
        QTest::addColumn<QString>("cli");
        QTest::addColumn<int>("plant");
        const auto row = [](const char* name, const char* file, const QString& load,
                            const char* cli,
                            int plant) { QTest::newRow(name) << file << load << cli << plant; };
        const QString longer = "0200:@64 0240:@64 0400:@32 3FF0:@16 4200:@16";
        row("16-byte records, EEPROM gaps", "@D/table.hex", "", "", 0x2120);
        row("32-byte records", "0200:@32 0220:@32 4200:@32 4220:@32", "", "", 0x2110);
        row("255-byte records", "0200:@255 02FF:@255 4200:@255", "", "", 0x17F);
        row("out of order", "4210:@16 0240:@16 4200:@16 0200:@16 0220:@16", "", "", 0x100);
        row("odd address", "0201:@6 0300:@3", "", "", 0x100);
        row("flash after configuration", "400E:723F 0220:@16 4000:@8 0260:@8 4210:@4", "", "",
            0x130);
        row("EEPROM with gaps", "4200:@8 4240:@8 42F8:@8 0200:@2", "", "", 0x217F);
        row("erase over a longer program", "0200:@8", longer, "--erase --erased", 0x1FF8);
        row("keep the rest of each row", "0204:@4 0400:@2", longer, "--keep", 0x102);
    }
    void images() {
        QFETCH(QString, file);
        QFETCH(QString, load);
        QFETCH(QString, cli);
        QFETCH(int, plant);
        QFile::remove(g_root + "/load.hex");
        const QString path = file.startsWith('@') ? Args(file)[0] : WriteHex("/in.hex", file);
        const QString loaded = load.isEmpty() ? "" : "--load " + WriteHex("/load.hex", load);
        SimProcess device(Args("--com 3 " + kDevice + " --dump @T/dump.hex " + loaded));
        QVERIFY(device.Start());
        const QString programmed = Run("--port 3 program --quiet --verify " +
                                       QString(cli).remove("--erased") + " " + path);
        QVERIFY2(programmed.endsWith("exit 0\n"), qPrintable(programmed));
        QVERIFY(device.Stop());
        QMap<int, int> before = Put({}, Bytes(g_root + "/load.hex"), false);
        if (cli.contains("--erase"))
            before.removeIf([](auto word) { return word.key() < kEeprom; });
        const QMap<int, int> expected = Put(before, Bytes(path), !cli.contains("--keep"));
        QCOMPARE(Put({}, Bytes(g_root + "/dump.hex"), false), expected);
        QCOMPARE(WindowImport::Written(IntelHex::Read(path).records), WindowWrites(path));

        QMap<int, int> planted = expected;
        planted[plant] = expected.value(plant, Erased(plant)) ^ 1;
        WriteWords(g_root + "/planted.hex", planted);
        SimProcess again(Args("--com 3 " + kDevice + " --load @T/planted.hex"));
        QVERIFY(again.Start());
        const QString seen =
            Run("--port 3 verify --quiet " + QString(cli).remove("--erase ") + " " + path);
        QVERIFY2(seen.contains(QString::asprintf("%06X  device", plant)) &&
                     seen.contains("verify: 1 difference") && seen.endsWith("exit 3\n"),
                 qPrintable(seen));
    }

    // Files by address, with CR ends and lower case, segment and linear addresses, a later
    // record over an earlier one, lines after the end; then each error. "<" stands for an
    // extended address 0 record first, ">" for the end record last.
    void reading() {
        QStringList seen;
        for (const char* lines :
             {"<:03020100aabbccc9|:024202001100A9>", ":020000020020DC|:02FFFF00AABB9B>",
              ":020000040001F9|:0100000011EE>", "<:020200001122C9|:0102010033C9>",
              "<:00000001FF|junk", "<0102000001FC", "<:01020000O1FC", "<:0102000001FC0",
              "<:00000001", "<:0202000001FB", "<:0102000001FD", "<:0400000300000000F9",
              "<:0100000400FB", "<|:00000001FF", "<:0102000001FC"})
            seen << QString(lines) + "  " +
                        Reading(QString(lines)
                                    .replace("<", ":020000040000FA|")
                                    .replace(">", "|:00000001FF"));
        seen << Plain(IntelHex::Read(g_root + "/nothere.hex").error);
        if (const QString diff = Golden("intelhex-reading.txt").Diff(seen); !diff.isEmpty())
            QFAIL(qPrintable(diff));
        const QString wraps = kData + "/blink.hex";  // EEPROM past 256 bytes: the window wraps it
        QCOMPARE(WindowImport::Written(IntelHex::Read(wraps).records), WindowWrites(wraps));
    }
};

KESTREL_TEST_MAIN(tst_Images)
#include "tst_images.moc"
