#include <QTest>

#include "convertedfiles.h"
#include "delay.h"
#include "devicerig.h"
#include "programcommand.h"
#include "testmain.h"

using Groups = FakeHost::Groups;

namespace {
const QStringList kAbsent{"<absent>"};  // ticked, file missing
const QStringList kUnticked{"<unticked>"};
const QStringList kFiveLines{"100:16", "108:16", "110:16", "118:16", "120:16"};
const QString kNoResponse =
    QStringLiteral("No response received from bootloader firmware|No Response");
constexpr Groups kAllOff{false, false, false, false, false, false, false};
constexpr Groups kAfter{false, true, true, false, false, true, true};
}  // namespace

class tst_ProgramCommand : public QObject {
    Q_OBJECT
public:
    explicit tst_ProgramCommand(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void init() {
        for (const QString& name : ConvertedFiles::kAll)
            QFile::remove(ConvertedFiles::PathOf(m_environment.ProgramFolder(), name));
        m_rig = std::make_unique<DeviceRig>(m_environment.ProgramFolder());
        m_rig->link.OpenComPort(1);
    }
    void cleanup() { modGeneral::ResumeWaiting(); }

    void programs_data() {
        QTest::addColumn<QStringList>("flash");
        QTest::addColumn<QStringList>("eeprom");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QList<int>>("progress");  // the bar's value as each frame goes out
        QTest::newRow("five lines")
            << kFiveLines << kUnticked << QStringList{"P000100", "P000120"} << QList<int>{4, 5};
        QTest::newRow("below 0x100") << QStringList{"F0:16", "F8:16", "100:16"} << kUnticked
                                     << QStringList{"P000100"} << QList<int>{3};
        QTest::newRow("all below")
            << QStringList{"0:16", "F8:16"} << kUnticked << QStringList() << QList<int>();
        QTest::newRow("empty") << QStringList() << kUnticked << QStringList() << QList<int>();
        QTest::newRow("both") << QStringList{"100:16"} << QStringList{"2100:16", "2110:16"}
                              << QStringList{"P000100", "E002100", "E002110"}
                              << QList<int>{1, 1, 2};
        QTest::newRow("eeprom only")
            << kUnticked << QStringList{"2100:16"} << QStringList{"E002100"} << QList<int>{1};
    }
    void programs() {
        QFETCH(QStringList, flash);
        QFETCH(QStringList, eeprom);
        QFETCH(QStringList, writes);
        QFETCH(QList<int>, progress);
        Run(flash, eeprom);
        QCOMPARE(m_rig->Messages(), QStringList());
        QCOMPARE(m_rig->Writes(), writes);
        QStringList statuses;
        if (flash != kUnticked) statuses << "Status=Programming Flash...";
        if (eeprom != kUnticked) statuses << "Status=Programming EEPROM...";
        QCOMPARE(m_rig->host.panelLog, statuses << "Status=");
        for (int i = 0; i < writes.size(); ++i) {
            const DeviceRig::Request& request = m_rig->requests[i];
            QCOMPARE(request.progress, progress[i]);
            QCOMPARE(request.interval, request.region == 'P' ? 0.08F : 0.2F);
            QCOMPARE(request.retries, qint16(2));
            QCOMPARE(request.data.size(), request.region == 'P' ? 64 : 16);
        }
        const QStringList& lines = eeprom != kUnticked ? eeprom : flash;
        QCOMPARE(m_rig->host.progressMaximum, lines.size());
        QCOMPARE(m_rig->host.progressPeak, lines.size());
        VerifyEnd();
    }

    void failures_data() {
        QTest::addColumn<QStringList>("flash");
        QTest::addColumn<QStringList>("eeprom");
        QTest::addColumn<QList<quint32>>("silent");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("writes");
        const QStringList oneEEPROM{"2100:16"};
        QTest::newRow("flash missing")
            << kAbsent << oneEEPROM << QList<quint32>()
            << QStringList{"Converted program flash code file does not exist|Flash Program Error"}
            << QStringList{"E002100"};
        QTest::newRow("eeprom missing")
            << kUnticked << kAbsent << QList<quint32>()
            << QStringList{"Converted EEPROM code file does not exist|EEPROM Program Error"}
            << QStringList();
        QTest::newRow("flash write")
            << kFiveLines << oneEEPROM << QList<quint32>{0x120}
            << QStringList{kNoResponse,
                           "Unable to program flash memory address:000120|Flash Program Error"}
            << QStringList{"P000100", "P000120", "P000120", "E002100"};
        QTest::newRow("split block")
            << QStringList{"180:16", "188:16", "190:16", "19C:16"} << kUnticked
            << QList<quint32>{0x1A0}
            << QStringList{kNoResponse,
                           "Unable to program flash memory address:0001A0|Flash Program Error"}
            << QStringList{"P000180", "P0001A0", "P0001A0"};
        QTest::newRow("eeprom write")
            << kUnticked << QStringList{"2100:16", "2110:16", "2120:16"} << QList<quint32>{0x2110}
            << QStringList{kNoResponse,
                           "Unable to program EEPROM memory address:002110|EEPROM Program Error"}
            << QStringList{"E002100", "E002110", "E002110"};
        QTest::newRow("flash field")
            << QStringList{"100:16", "08,01,00,ZZ"} << oneEEPROM << QList<quint32>()
            << QStringList{"Unable to program flash memory address:000108|Flash Program Error"}
            << QStringList{"E002100"};
        QTest::newRow("eeprom field")
            << kUnticked << QStringList{"10,21,0,FF"} << QList<quint32>()
            << QStringList{"Unable to program EEPROM memory address:02110|EEPROM Program Error"}
            << QStringList();
    }
    void failures() {
        QFETCH(QStringList, flash);
        QFETCH(QStringList, eeprom);
        QFETCH(QList<quint32>, silent);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, writes);
        m_rig->silentWords = QSet<quint32>(silent.begin(), silent.end());
        Run(flash, eeprom);
        QCOMPARE(m_rig->Messages(), messages);
        QCOMPARE(m_rig->prompts.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(m_rig->Writes(), writes);
        VerifyEnd();
    }

    void nothingTicked() {
        m_rig->host.ticks[Tick::ProgFlash] = false;
        ProgramPIC(m_rig->context);
        QCOMPARE(m_rig->Messages(), QStringList{"Please first select a code section to program "
                                                "from the Device menu|No code section selected"});
        QCOMPARE(m_rig->prompts.messages[0].icon, MsgIcon::None);
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>());
        QCOMPARE(m_rig->host.panelLog, QStringList());
    }

    void stopWhileWriting() {
        m_rig->onRequest = [] { modGeneral::StopWaiting(); };
        Run(kFiveLines, {"2100:16"});
        QCOMPARE(m_rig->Writes(), QStringList{"P000100"});
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>({kAllOff}));
        QCOMPARE(m_rig->host.panelLog, QStringList{"Status=Programming Flash..."});
    }

private:
    // Ticks the regions given, writes their files unless kAbsent, and runs the command.
    void Run(const QStringList& flash, const QStringList& eeprom) {
        m_rig->host.ticks[Tick::ProgFlash] = flash != kUnticked;
        m_rig->host.ticks[Tick::ProgEEPROM] = eeprom != kUnticked;
        if (flash != kUnticked && flash != kAbsent)
            m_rig->WriteFile(ConvertedFiles::kFlash, ConvertedLines(flash));
        if (eeprom != kUnticked && eeprom != kAbsent)
            m_rig->WriteFile(ConvertedFiles::kEEPROM, ConvertedLines(eeprom));
        ProgramPIC(m_rig->context);
    }

    void VerifyEnd() {
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>({kAllOff, kAfter}));
        QCOMPARE(m_rig->host.progressValue, 0);
        QCOMPARE(m_rig->host.PanelText(PanelKey::kStatus), QString());
        QVERIFY(!m_rig->host.busy);
    }

    TestEnvironment& m_environment;
    std::unique_ptr<DeviceRig> m_rig;
};

KESTREL_TEST_MAIN(tst_ProgramCommand)
#include "tst_programcommand.moc"
