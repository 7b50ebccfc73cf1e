#include <QFile>
#include <QTest>

#include "commandrig.h"
#include "convertedfiles.h"
#include "testmain.h"
#include "viewcommand.h"

namespace {
// Flash, EEPROM, UserID, Config. Config's lines: the usual examples, an address
// alone, an unpaired last byte.
const QStringList kFiles{"", "", "",
                         "08,00,00,83,16,03,13\r\n00,21,00,11,22,33,44\r\n00,20,00,0A,0B,0C,0D\r\n"
                         "07,20,00\r\n00,20,00,0A,0B,0c\n"};
const QString kEnd = "|progress 0|Status=|enable 0111001";
}  // namespace

class tst_View : public QObject {
    Q_OBJECT
public:
    explicit tst_View(TestEnvironment&) {}

private slots:
    void command_data() {
        QTest::addColumn<QString>("ticks");   // F, E, U, C
        QTest::addColumn<QString>("absent");  // the files not written
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* name, QString ticks, QString trace, QString absent = "") {
            QTest::newRow(name) << ticks << absent << trace;
        };
        const QString flash =
            "enable 0000000|range 0-0|progress 0|Status=Converting flash to "
            "view...|busy|idle|delay 0.5|";
        row("nothing", "",
            "msg Nothing selected: Please first select a code section to view [ok/cancel]");
        row("empty file, then lines", "FC",
            flash + "range 0-5|progress 0|Status=Converting config to view...|busy|idle|delay 0.5" +
                kEnd +
                "|BootCodeVersion=|code view:\r\nStart of flash program code\r\n\r\nStart of "
                "Config program code\r\n000008   1683   1303\r\n002100   2211   4433\r\n002000   "
                "0B0A   0D0C\r\n002007\r\n002000   0B0A   0c\r\n");
        const QStringList missing{"Flash code file Error: Converted program flash code",
                                  "EEPROM code file Error: Converted program EEPROM code",
                                  "User ID file Error: Converted program user ID",
                                  "Config code file Error: Converted program config code"};
        const QString absent = " file does not exist (x)" + kEnd;
        row("missing in the middle", "FEC", flash + "msg " + missing[1] + absent, "E");
        for (int i = 0; i < 4; ++i)
            row(qPrintable("missing " + missing[i]), QString("FEUC"[i]),
                "enable 0000000|msg " + missing[i] + absent, "FEUC");
    }
    void command() {
        QFETCH(QString, ticks);
        QFETCH(QString, absent);
        QFETCH(QString, trace);
        CommandRig rig;
        for (int i = 0; i < 4; ++i) {
            rig.host.ticks[Tick(i)] = ticks.contains("FEUC"[i]);
            QFile file(ConvertedFiles::PathOf(rig.Folder(), ConvertedFiles::kAll[i]));
            if (!absent.contains("FEUC"[i]) && file.open(QFile::WriteOnly))
                file.write(kFiles[i].toLatin1());
        }
        ViewHexCode(rig.context);
        QCOMPARE(rig.trace.events.join('|').replace("code view", "code view:" + rig.host.shownText),
                 trace);
        QCOMPARE(rig.host.peak, rig.host.state.intLineCount);
    }
};

KESTREL_TEST_MAIN(tst_View)
#include "tst_view.moc"
