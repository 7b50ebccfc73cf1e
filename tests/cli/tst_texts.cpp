#include <QFileInfo>
#include <QSettings>
#include <QtTest>

#include "golden.h"
#include "testmain.h"
#include "transcript.h"

// Every text the tools print, as a terminal shows it: one golden file a row, named by the row.
class tst_Texts : public QObject {
    Q_OBJECT
public:
    explicit tst_Texts(TestEnvironment& environment) : m_home(environment.Root()) {}

private slots:
    // The tools by name; the test data and the examples as folders of HOME.
    void initTestCase() {
        const QString sim = qEnvironmentVariable("KESTREL_SIM"),
                      data = qEnvironmentVariable("KESTREL_TEST_DATA");
        qputenv("PATH", (QFileInfo(KESTREL_CLI).path() + ':' + QFileInfo(sim).path() + ':' +
                         qEnvironmentVariable("PATH"))
                            .toLocal8Bit());
        QVERIFY(QFile::link(data, m_home + "/data"));
        QVERIFY(QFile::link(data + "/../../examples", m_home + "/examples"));
    }
    void init() {
        TestEnvironment::ClearSettings();
        QSettings("Kestrel", "Kestrel").setValue("Kes_BootloaderForm/Port", 3);
    }

    void texts_data() {
        QTest::addColumn<QStringList>("script");
        const auto row = [](const char* golden, const QStringList& script) {
            QTest::newRow(golden) << script;
        };
        row("kestrel-sim-help", {"kestrel-sim --help"});
        row("kestrel-sim-refusals", {"kestrel-sim extra",
                                     "kestrel-sim --frob",
                                     "kestrel-sim --com 0",
                                     "kestrel-sim --com 2 --link port",
                                     "kestrel-sim --version 1",
                                     "kestrel-sim --version 1.256",
                                     "kestrel-sim --baud 300",
                                     "kestrel-sim --flash-ms -1",
                                     "kestrel-sim --eeprom-ms x",
                                     "kestrel-sim --fault frob",
                                     "kestrel-sim --fault unplug",
                                     "kestrel-sim --fault cut@0",
                                     "kestrel-sim --chip --fault cut",
                                     "kestrel-sim --firmware f.hex",
                                     "kestrel-sim --chip --speed -1",
                                     "touch file; kestrel-sim --link file",
                                     "ln -s /dev/null null; kestrel-sim --link null",
                                     "mkdir folder; kestrel-sim --link folder",
                                     "mkfifo fifo; kestrel-sim --load fifo",
                                     "kestrel-sim --load nothere.hex",
                                     "kestrel-sim --load data/table.asm",
                                     "kestrel-sim --dump none/dump.hex",
                                     "readlink null; ls -d file folder",
                                     "mkdir lock.lock; kestrel-sim --link lock",
                                     "kestrel-sim --baud 0 --link port &",
                                     "kestrel-sim --link port"});
        row("check", {"kestrel-cli check data/table.hex", "kestrel-cli check data/blink.hex",
                      "kestrel-cli check examples/blink.hex", "kestrel-cli check examples/fill.hex",
                      "kestrel-cli check examples/interrupt.hex"});
        row("program-verify-run",
            {"kestrel-sim --com 3 --baud 0 &",
             "kestrel-cli program --fast --verify --run --quiet data/table.hex"});
    }
    void texts() {
        QFETCH(QStringList, script);
        Golden golden(QString(QTest::currentDataTag()) + ".txt");
        golden.Mask(m_home, "home");
        golden.Mask(QRegularExpression("(?<=/dev/pts/)\\d+"), "N");
        golden.Mask(QRegularExpression("(?<=process )\\d+"), "pid");
        golden.Mask(QRegularExpression(R"((?<="ms":)[\d.]+)"), "ms");
        golden.Mask(QRegularExpression(R"((?<="seconds":)[\d.e-]+)"), "seconds");
        if (const QString diff = golden.Diff(Transcript(script)); !diff.isEmpty())
            QFAIL(qPrintable(diff));
    }

private:
    QString m_home;
};

KESTREL_TEST_MAIN(tst_Texts)
#include "tst_texts.moc"
