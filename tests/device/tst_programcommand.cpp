#include <QFile>
#include <QTest>

#include "convertedfiles.h"
#include "delay.h"
#include "devicerig.h"
#include "programcommand.h"
#include "testmain.h"

namespace {
const QStringList kAbsent{"<absent>"};  // ticked, file missing
const QStringList kUnticked{"<unticked>"};
const QStringList kFiveLines{"100:16", "108:16", "110:16", "118:16", "120:16"};
const QStringList kOneEEPROM{"2100:16"};
const QString kNoResponse =
    QStringLiteral("No response received from bootloader firmware|No Response");
constexpr Groups kAllOff{false, false, false, false, false, false, false};

bool HasFile(const QStringList& lines) {
    return lines != kUnticked && lines != kAbsent;
}
}  // namespace

class tst_ProgramCommand : public QObject {
    Q_OBJECT
public:
    explicit tst_ProgramCommand(TestEnvironment&) {}

private slots:
    void init() {
        m_rig = std::make_unique<DeviceRig>();
        m_rig->link.OpenComPort(1);
    }
    void cleanup() { modGeneral::ResumeWaiting(); }

    void programs_data() {
        QTest::addColumn<QStringList>("flash");
        QTest::addColumn<QStringList>("eeprom");
        QTest::addColumn<quint32>("silent");      // the word whose writes get no reply
        QTest::addColumn<QStringList>("writes");  // attempts included
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* name, QStringList flash, QStringList eeprom, quint32 silent,
                            QStringList writes, QStringList messages = {}) {
            QTest::newRow(name) << flash << eeprom << silent << writes << messages;
        };
        row("below 0x100 counted", QStringList{"F0:16", "F8:16"} + kFiveLines, kUnticked, 0,
            {"P000100@6", "P000120@7"});
        row("empty", {}, kUnticked, 0, {});
        row("both", {"100:16"}, {"2100:16", "2110:16"}, 0, {"P000100@1", "E002100@1", "E002110@2"});
        row("flash missing", kAbsent, kOneEEPROM, 0, {"E002100@1"},
            {"Converted program flash code file does not exist|Flash Program Error"});
        row("eeprom missing", kUnticked, kAbsent, 0, {},
            {"Converted EEPROM code file does not exist|EEPROM Program Error"});
        row("flash write", kFiveLines, kOneEEPROM, 0x120,
            {"P000100@4", "P000120@5", "P000120@5", "E002100@1"},
            {kNoResponse, "Unable to program flash memory address:000120|Flash Program Error"});
        row("split block", {"180:16", "188:16", "190:16", "19C:16"}, kUnticked, 0x1A0,
            {"P000180@4", "P0001A0@4", "P0001A0@4"},
            {kNoResponse, "Unable to program flash memory address:0001A0|Flash Program Error"});
        row("eeprom write", kUnticked, {"2100:16", "2110:16", "2120:16"}, 0x2110,
            {"E002100@1", "E002110@2", "E002110@2"},
            {kNoResponse, "Unable to program EEPROM memory address:002110|EEPROM Program Error"});
        row("flash field", {"100:16", "08,01,00,ZZ"}, kOneEEPROM, 0, {"E002100@1"},
            {"Unable to program flash memory address:000108|Flash Program Error"});
        row("eeprom field", kUnticked, {"10,21,0,FF"}, 0, {},
            {"Unable to program EEPROM memory address:02110|EEPROM Program Error"});
    }
    void programs() {
        QFETCH(QStringList, flash);
        QFETCH(QStringList, eeprom);
        QFETCH(quint32, silent);
        QFETCH(QStringList, writes);
        QFETCH(QStringList, messages);
        m_rig->silentWord = silent;
        Run(flash, eeprom);
        QCOMPARE(m_rig->Messages(), messages);
        if (!messages.isEmpty()) QCOMPARE(m_rig->prompts.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(m_rig->writes, writes);
        for (const QString& frame : m_rig->frames)
            QVERIFY2(frame == "P64 0.08" || frame == "E16 0.2", qPrintable(frame));
        QStringList statuses;
        if (HasFile(flash)) statuses << "Status=Programming Flash...";
        if (HasFile(eeprom)) statuses << "Status=Programming EEPROM...";
        QCOMPARE(m_rig->host.panelLog, statuses << "Status=");
        if (messages.isEmpty()) {  // every line of the last region counted and read
            const qsizetype lines = (HasFile(eeprom) ? eeprom : flash).size();
            QCOMPARE(m_rig->host.progressMaximum, lines);
            QCOMPARE(m_rig->host.progressPeak, lines);
        }
        QCOMPARE(m_rig->host.enableCalls,
                 QList<Groups>({kAllOff, {false, true, true, false, false, true, true}}));
        QCOMPARE(m_rig->host.progressValue, 0);
        QVERIFY(!m_rig->host.busy);
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
        Run(kFiveLines, kOneEEPROM);
        QCOMPARE(m_rig->writes, QStringList{"P000100@4"});
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>({kAllOff}));
        QCOMPARE(m_rig->host.panelLog, QStringList{"Status=Programming Flash..."});
    }

private:
    // Ticks the regions given, writes their files unless kAbsent, and runs the command.
    void Run(const QStringList& flash, const QStringList& eeprom) {
        m_rig->host.ticks[Tick::ProgFlash] = flash != kUnticked;
        m_rig->host.ticks[Tick::ProgEEPROM] = eeprom != kUnticked;
        const auto write = [this](const QString& name, const QStringList& lines) {
            QFile file(ConvertedFiles::PathOf(m_rig->context.programFolder, name));
            if (HasFile(lines) && file.open(QIODevice::WriteOnly) && !lines.isEmpty())
                file.write((ConvertedLines(lines).join("\r\n") + "\r\n").toLatin1());
        };
        write(ConvertedFiles::kFlash, flash);
        write(ConvertedFiles::kEEPROM, eeprom);
        ProgramPIC(m_rig->context);
    }

    std::unique_ptr<DeviceRig> m_rig;
};

KESTREL_TEST_MAIN(tst_ProgramCommand)
#include "tst_programcommand.moc"
