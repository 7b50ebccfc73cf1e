#include <QRegularExpression>
#include <QTest>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "connectcommand.h"
#include "eventloopwaits.h"
#include "fakehost.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "simprocess.h"
#include "testmain.h"

namespace {

// The command groups set by a connect and a program.
const QStringList kProgrammed{"enable 0110101", "enable 0000000", "enable 0110011"};
const QStringList kAllRows{"flash 000100", "flash 000200", "eeprom 002100", "eeprom 002110"};
const QString kClosed =
    QStringLiteral("msg Coms Port Closed: First open a specified Coms Port (x)");

// The delays cost no time; the link's waits for replies are real.
class ReplyWaits : public EventLoopWaits {
public:
    bool Delay(float) override { return !Stopped(); }
};

// The commands with the real link and port, table.hex imported: two flash rows (words 0x100
// and 0x200), then two EEPROM lines.
struct FaultRig {
    FaultRig() {
        host.state.objHexComm = &link;
        host.ticks[Tick::ProgEEPROM] = true;
        prompts.files = {qEnvironmentVariable("KESTREL_TEST_DATA") + QStringLiteral("/table.hex")};
        ImportHexFile(context);
    }
    // Connects and, if that succeeded, programs; the rows that reached the device.
    QStringList ConnectAndProgram(const QStringList& options) {
        trace.events.clear();
        SimProcess sim(QStringList{"--baud", "0"} + options);
        if (!sim.Start()) return {"no simulator"};
        ConnectToPIC(context);
        if (trace.events.contains(QStringLiteral("enable 0110101"))) ProgramPIC(context);
        sim.Stop();
        QStringList rows;
        const QRegularExpression written(QStringLiteral("^#\\d+ write-(\\w+ \\w+) .*: ack"));
        for (const QString& line : sim.Lines())
            if (const auto match = written.match(line); match.hasMatch()) rows << match.captured(1);
        rows.removeDuplicates();
        return rows;
    }

    Trace trace;
    FakeHost host{trace};
    ScriptedPrompts prompts{trace};
    ReplyWaits waits;
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    clsHexComm link{std::make_unique<QSerialPortAdapter>(), prompts, waits};
    CommandContext context{host, prompts, settings, waits, folder.path()};
};

}  // namespace

class tst_Faults : public QObject {
    Q_OBJECT
public:
    explicit tst_Faults(TestEnvironment&) {}

private slots:
    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const QString& fault, const QStringList& messages,
                            const QStringList& groups, const QStringList& rows) {
            QTest::newRow(qPrintable(fault)) << fault << messages << groups << rows;
        };
        const char* etx = "Format Error: <ETX> character not present";
        const char* command = "Format Error: Invalid Command byte received";
        const struct {
            const char* kind;
            const char* data;  // the link's message for a damaged data reply
            const char* ack;   // and for a damaged acknowledgement; none: it is left whole
        } kinds[] = {
            {"silent", "No Response: No response received from bootloader firmware",
             "No Response: No response received from bootloader firmware"},
            {"bad-checksum", "Corrupt Data: In correct check sum value received",
             "Corrupt Data: In correct check sum value returned"},
            {"wrong-command", command, command},
            {"no-end", etx, etx},
            {"cut", etx, etx},
            {"short-data", "Error: Incorrect requested number of data bytes received", nullptr},
        };
        const struct {
            int frame;
            const char* attempts;  // every attempt at it, for a silent device
            bool ack;
            QStringList after;
            QStringList groups;
            QStringList rows;
        } spots[] = {
            {1, "1,2,3", false, {}, {}, {}},
            {2,
             "2,3",
             true,
             {"msg Flash Program Error: Unable to program flash memory address:000100 (x)"},
             kProgrammed,
             QStringList{kAllRows[0]} + kAllRows.mid(2)},
            {4,
             "4,5",
             true,
             {"msg EEPROM Program Error: Unable to program EEPROM memory address:002100 (x)"},
             kProgrammed,
             kAllRows.mid(0, 3)},
        };
        for (const auto& spot : spots) {
            for (const auto& kind : kinds) {
                const bool silent = QLatin1String(kind.kind) == QLatin1String("silent");
                const QString fault = QStringLiteral("%1@%2").arg(
                    kind.kind, silent ? spot.attempts : QString::number(spot.frame));
                if (const char* link = spot.ack ? kind.ack : kind.data)
                    row(fault, QStringList{QStringLiteral("msg %1 (!)").arg(link)} + spot.after,
                        spot.groups, spot.rows);
                else
                    row(fault, {}, kProgrammed, kAllRows);
            }
        }
        row("unplug@2",
            {"msg Kestrel: COM 1: not available. Change to another com port.",
             "msg Flash Program Error: Unable to program flash memory address:000200 (x)", kClosed,
             "msg EEPROM Program Error: Unable to program EEPROM memory address:002100 (x)"},
            kProgrammed, kAllRows.mid(0, 1));
    }
    // Each fault, then the device back as a new simulator: the same window connects and
    // programs it whole.
    void faults() {
        QFETCH(QString, fault);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, groups);
        QFETCH(QStringList, rows);
        FaultRig rig;
        QCOMPARE(rig.ConnectAndProgram({"--fault", fault}), rows);
        QCOMPARE(rig.trace.events.filter(QStringLiteral("msg ")), messages);
        QCOMPARE(rig.trace.events.filter(QStringLiteral("enable ")), groups);
        QCOMPARE(rig.ConnectAndProgram({}), kAllRows);
        QCOMPARE(rig.trace.events.filter(QStringLiteral("msg ")), QStringList());
        QCOMPARE(rig.trace.events.filter(QStringLiteral("enable ")), kProgrammed);
    }
};

KESTREL_TEST_MAIN(tst_Faults)
#include "tst_faults.moc"
