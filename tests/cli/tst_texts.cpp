#include <QSettings>
#include <QtTest>

#include "golden.h"
#include "testmain.h"
#include "transcript.h"

namespace {
// The tool's command lines with these arguments, ", " apart.
QStringList Each(const QString& tool, const QString& arguments) {
    return arguments.split(", ").replaceInStrings(QRegularExpression("^"), tool + ' ');
}
}  // namespace

// Every text the tools print, as a terminal shows it: one golden file a row, named by the row.
class tst_Texts : public QObject {
    Q_OBJECT
public:
    explicit tst_Texts(TestEnvironment& environment) : m_home(environment.Root()) {}

private slots:
    // Each row in a HOME of its own: the window's port Com 3, the test data and the examples.
    void init() {
        const QString data = qEnvironmentVariable("KESTREL_TEST_DATA");
        for (const char* link : {"/data", "/examples"}) QFile::remove(m_home + link);
        QVERIFY(QDir(m_home).removeRecursively());
        QVERIFY(QDir().mkpath(m_home + "/.local/share/Kestrel/ports"));
        QVERIFY(QFile::link(data, m_home + "/data") &&
                QFile::link(data + "/../../examples", m_home + "/examples"));
        QSettings("Kestrel", "Kestrel").setValue("Kes_BootloaderForm/Port", 3);
    }

    void texts_data() {
        QTest::addColumn<QStringList>("script");
        const auto row = [](const char* golden, const QStringList& script) {
            QTest::newRow(golden) << script;
        };
        row("kestrel-sim-help", {"kestrel-sim --help"});
        row("kestrel-sim-refusals",
            QStringList{"touch file; ln -s /dev/null null; mkdir folder lock.lock; mkfifo fifo"} +
                Each("kestrel-sim",
                     "extra, --frob, --com 0, --com 2 --link port, --version 1, --version 1.256, "
                     "--baud 300, --flash-ms -1, --eeprom-ms x, --fault frob, --fault unplug, "
                     "--fault cut@0, --chip --fault cut, --firmware f.hex, --chip --speed -1, "
                     "--load nothere.hex, --load data/table.asm, --dump none/dump.hex, "
                     "--link file, --link null, --link folder, --load fifo, --link lock") +
                QStringList{"readlink null; ls -d file folder",
                            "kestrel-sim --baud 0 --link port &", "kestrel-sim --link port"});
        // A link a killed simulator left is taken over; one replaced while it runs is left as it
        // is; output that cannot be written is said and fails the run; SIGINT ends it as SIGTERM.
        row("kestrel-sim-ends",
            {"kestrel-sim --baud 0 --link killed &", "kill -9 $(head -1 killed.lock)", "wait %1",
             "kestrel-sim --baud 0 --link killed &", "readlink killed",
             "kestrel-sim --baud 0 --link replaced &", "rm replaced; ln -s /dev/null replaced",
             "kill -INT $(head -1 replaced.lock)", "wait %3", "kill %2", "echo killed* replaced*",
             "kestrel-sim --baud 0 --link lost >/dev/full & until [ -e lost ]; do sleep 0.1; done; "
             "kill -INT $!; wait $!",
             "kestrel-sim --baud 0 --link dump --dump /dev/full & until [ -e dump ]; do sleep 0.1; "
             "done; kill -INT $!; wait $!",
             "echo lost* dump*"});
        row("kestrel-cli-help",
            Each("kestrel-cli",
                 "--help, --version, --help-all, help ports, help check, help info, "
                 "help program, verify --help, help read, run -h, help frob"));
        // The checks of a file: the test data, the examples, and files made here.
        row("kestrel-cli-check",
            Each("kestrel-cli check",
                 "data/table.hex, data/blink.hex, examples/blink.hex, "
                 "examples/fill.hex, examples/interrupt.hex") +
                QStringList{
                    "printf '%s\\n' :04000000FF7F341238 :020002000130CB :02420200112287 "
                    ":02400000AABB59 :00000001FF >w.hex",
                    "kestrel-cli check w.hex",
                    "printf '%s\\n' :020000020010EC :0401000001020304F1 :00000001FF >segment.hex",
                    "kestrel-cli check segment.hex",
                    "printf '%s\\n' :020000040000FA :02420000112289 :02400200AABB57 :00000001FF "
                    ">userid.hex; kestrel-cli check userid.hex"});
        // Each command on the port the window stored; the window's settings stay as they were.
        row("kestrel-cli-commands",
            {"kestrel-sim --com 3 --baud 0 &",
             "kestrel-cli program --fast --verify --run --quiet data/table.hex",
             "kestrel-cli -v info", "kestrel-cli run",
             "kestrel-cli program --eeprom data/table.hex",
             "kestrel-cli program --erase --flash --quiet data/table.hex",
             "kestrel-cli program --keep --flash --quiet --log frames.jsonl examples/blink.hex",
             "cat frames.jsonl", "cat .config/Kestrel/Kestrel.conf"});
        row("kestrel-cli-read",
            {"kestrel-sim --com 3 --baud 0 --load data/table.hex --dump dump.hex >/dev/null &",
             "kestrel-cli read --fast --quiet -o read.hex --all", "cat read.hex",
             "kestrel-cli read --paced --quiet --range 0x102-104 --out read.bin",
             "od -An -tx1 read.bin", "kestrel-cli read -q --region eeprom --out -",
             "kestrel-cli read -q -v --region config -o -",
             "kestrel-cli read -q --region flash -o flash.hex",
             "mkfifo pipe; cat pipe >piped.hex & kestrel-cli read -q --region eeprom -o pipe; wait",
             "cat piped.hex", "kestrel-cli read -q --region eeprom -o - >/dev/full",
             "kestrel-cli read -q --region eeprom -o /dev/full", "kill %1", "cat dump.hex"});
        // Damaged and missing replies: retried, said, and where they stop the run; --wait over one.
        row("kestrel-cli-faults",
            {"kestrel-sim --com 3 --baud 0 --fault corrupt@3 &",
             "kestrel-cli program --flash --verify --quiet data/table.hex",
             "kill %1",
             "kestrel-sim --com 3 --baud 0 --fault corrupt@2 &",
             "kestrel-cli program --eeprom --verify --quiet data/table.hex",
             "kill %2",
             "kestrel-sim --com 3 --baud 0 --fault silent@2,3,4 >/dev/null &",
             "kestrel-cli program --erase --flash --quiet data/table.hex",
             "kill %3",
             "kestrel-sim --com 3 --baud 0 --fault bad-checksum@2 --fault no-end@4 --fault "
             "wrong-command@5 &",
             "kestrel-cli program --flash --quiet --log frames.jsonl data/table.hex",
             "cat frames.jsonl",
             "kill %4",
             "kestrel-sim --com 3 --baud 0 --fault cut@3 &",
             "kestrel-cli program --retries 1 --quiet data/table.hex",
             "kestrel-cli program --erase --retries 1 --quiet data/table.hex",
             "kill %5",
             "kestrel-sim --com 3 --baud 0 --fault silent@2 &",
             "kestrel-cli program --json --quiet --verify --fast --log frames.jsonl data/table.hex",
             "cat frames.jsonl",
             "kestrel-sim --com 4 --baud 0 --fault silent@1 &",
             "kestrel-cli -p 4 --wait 5 info"});
        QStringList readFaults;  // each on every request: the first one fails
        for (const QString fault :
             {"silent", "bad-checksum", "wrong-command", "no-end", "short-data"})
            readFaults << "kestrel-sim --com 3 --baud 0 --fault " + fault + " &"
                       << "kestrel-cli read -q -o r.hex"
                       << "kill %%";
        row("kestrel-cli-read-faults",
            readFaults + QStringList{"kestrel-sim --com 3 --baud 0 --fault unplug@1 &",
                                     "kestrel-cli read -q -o r.hex", "wait %%"});
        // Refused with status 2 before any frame.
        row("kestrel-cli-refusals",
            QStringList{
                "kestrel-sim --com 3 --baud 0 &",
                "printf '%s\\n' :040000001234560759 :00000001FF >org0.hex",
                "printf '%s\\n' :0402000001020304F0 :024600000506AD :00000001FF >outside.hex",
                "printf '%s\\n' :0402000001020304F0 :10440000000102030405060708090A0B0C0D0E0F34 "
                ":10441000000102030405060708090A0B0C0D0E0F24 :00000001FF >past.hex",
                "printf ':0200000400G0FA\\n' >nothex.hex"} +
                Each("kestrel-cli",
                     "program data/blink.asm, verify nothex.hex, program org0.hex, "
                     "program outside.hex, program past.hex, verify --eeprom org0.hex, "
                     "program --strict data/table.hex, "
                     "read --out nowhere/read.hex, info --log nowhere/frames, "
                     "read --range 1FFF-2000 --out a.bin, program --erase --keep data/table.hex, "
                     "info --paced --fast, program --keep --eeprom data/table.hex, "
                     "check --port 3 data/table.hex, info --retries 0, "
                     "-p 3 -p .local/share/Kestrel/ports/com3 info, read -p 1 -p 2 -o r.hex, frob, "
                     "-j frob, --json info --frob, read"));
        // Ports that are not there, or go away.
        row("kestrel-cli-ports",
            {"kestrel-sim --com 3 --baud 0 &", "kestrel-cli --port nowhere info",
             "KESTREL_PORT=nowhere kestrel-cli info", "kestrel-cli -p nowhere --wait 0.3 info",
             "kestrel-cli info --log /dev/full", "cd .local/share/Kestrel/ports; touch plain",
             "cd .local/share/Kestrel/ports; ln -s plain com1; ln -s /dev/null com2; ln -s /no "
             "com4",
             "kestrel-cli ports | grep ^Com"});
        // Four boards at once, the third unplugged after its second row; then the three left.
        row("kestrel-cli-boards",
            {"kestrel-sim --com 1 --baud 0 &", "kestrel-sim --com 2 --baud 0 &",
             "kestrel-sim --com 3 --baud 0 --fault unplug@3 &", "kestrel-sim --com 4 --baud 0 &",
             "kestrel-cli -p 1 -p 2 -p 3 -p 4 program --verify -q -j data/table.hex", "wait %3",
             "kestrel-cli --port all -q info | grep -v ': v1.0$'"});
        // A run cut short after its first row, then resumed on a device that holds what it
        // wrote, on one that lost it, and with another file.
        row("kestrel-cli-resume",
            {"kestrel-sim --com 3 --baud 0 --fault unplug@2 --dump cut.hex &",
             "kestrel-cli -q program data/table.hex", "wait %1",
             "kestrel-sim --com 3 --baud 0 --load cut.hex &",
             "kestrel-cli -q program --resume data/table.hex",
             "kestrel-cli -q verify data/table.hex", "kill %2",
             "kestrel-sim --com 3 --baud 0 --fault unplug@2 &",
             "kestrel-cli -q program data/table.hex", "wait %3", "kestrel-sim --com 3 --baud 0 &",
             "kestrel-cli -q program --resume data/table.hex", "kill %4",
             "kestrel-sim --com 3 --baud 0 --fault unplug@2 --dump cut.hex &",
             "kestrel-cli -q program data/table.hex", "wait %5",
             "kestrel-sim --com 3 --baud 0 --load cut.hex &",
             "kestrel-cli -q program --resume examples/blink.hex", "kill %6"});
    }
    void texts() {
        QFETCH(QStringList, script);
        Golden golden(QString(QTest::currentDataTag()) + ".txt");
        golden.Mask(m_home, "home");
        golden.Mask(QRegularExpression("(?<=/dev/pts/)\\d+"), "N");
        golden.Mask(QRegularExpression("(?<=process )\\d+"), "pid");
        golden.Mask(QRegularExpression(R"((?<="ms":)[\d.]+)"), "ms");
        golden.Mask(QRegularExpression(R"((?<="seconds":)[\d.e-]+)"), "seconds");
        golden.Mask(QRegularExpression("(?<=  ok {6})\\d+\\.\\d"), "s");
        if (const QString diff = golden.Diff(Transcript(script)); !diff.isEmpty())
            QFAIL(qPrintable(diff));
    }

private:
    QString m_home;
};

KESTREL_TEST_MAIN(tst_Texts)
#include "tst_texts.moc"
