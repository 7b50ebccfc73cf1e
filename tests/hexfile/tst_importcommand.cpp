#include <QFile>
#include <QTimer>
#include <QtTest>
#include <optional>

#include "commandcontext.h"
#include "delay.h"
#include "fakehost.h"
#include "importcommand.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "testmain.h"

namespace {
const QByteArray kLinear = ":020000040000FA";
const QByteArray kCode = ":020000000029D5";
const QByteArray kEnd = ":00000001FF";
const QString kCodeLine = "00,00,00,00,29\r\n";
const QString kImporting = "Status=Importing Hex File...";
const QStringList kFiles = {"Flash.hx", "EEPROM.hx", "UserID.hx", "Config.hx"};
const QString kTableFiles[4] = {
    "00,00,00,00,29\r\n00,01,00,03,30,00,22,86,00,00,29\r\n"
    "00,02,00,82,07,10,34,20,34,30,34,40,34\r\n",
    "00,21,00,4B,65,73,74,72,65,6C,21,01,02,03,04\r\n10,21,00,A5,5A,C3,3C\r\n",
    "00,20,00,0A,0B,0C,0D\r\n", "07,20,00,79,3F\r\n"};
}  // namespace

class TestImportCommand : public QObject {
    Q_OBJECT
public:
    explicit TestImportCommand(TestEnvironment& environment) : m_env(environment) {}

private:
    struct Rig {
        FakeHost host;
        ScriptedPrompts prompts;
        Settings settings{QStringLiteral("Kestrel")};
        CommandContext context{host, prompts, settings, QString()};
        void Import(const QString& path) {
            prompts.files = {path};
            ImportHexFile(context);
        }
    };

    QString WriteHex(const QByteArrayList& lines, const QByteArray& ending = "\r\n") {
        const QString path = m_env.Root() + "/in.hex";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
        file.write(lines.join(ending) + ending);
        return path;
    }
    QString Converted(const QString& name) {
        QFile file(m_env.ProgramFolder() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : "absent";
    }
    // How the command ended: "Success...", "Failed..." or, when it ended silently, empty.
    void CheckEnd(const QString& status) {
        const FakeHost& host = m_rig->host;
        const bool silent = status.isEmpty();
        QCOMPARE(host.panelLog, silent ? QStringList{kImporting}
                                       : QStringList({kImporting, "Status=" + status, "Status="}));
        QCOMPARE(host.enableCalls, status == "Success..."
                                       ? QList<FakeHost::Groups>({{0, 1, 1, 1, 0, 0, 1}})
                                       : QList<FakeHost::Groups>());
        QCOMPARE(host.busyLog, silent ? QList<bool>{true} : QList<bool>({true, false}));
        if (!silent) QCOMPARE(host.progressValue, 0);
    }

    TestEnvironment& m_env;
    std::optional<Rig> m_rig;

private slots:
    void init() {
        for (const QString& name : kFiles) QFile::remove(m_env.ProgramFolder() + '/' + name);
        TestEnvironment::ClearSettings();
        m_rig.emplace();
        m_rig->context.programFolder = m_env.ProgramFolder();
    }
    void cleanup() { m_rig.reset(); }

    // Each message box shows with no icon; "message" is "text|title", empty for none.
    void failures_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("status");  // empty: the command ends silently
        QTest::addColumn<QString>("folder");
        const QString format = "|Format Error",
                      type = "Record type field incorrect|Incorrect hex file format";
        auto row = [&](const char* name, const QByteArray& bad, const QString& message,
                       const QString& status = "Failed...") {
            QTest::newRow(name) << QByteArrayList{kLinear, kCode, bad, kEnd} << message << status
                                << m_env.ProgramFolder();
        };
        row("colon", ";020000000029D5", "Missing colon ':' at start of line" + format);
        row("count", ":030000000029D5",
            "Number of data bytes not equal to line byte counter" + format);
        row("sum", ":020000000029D6", "Incorrect line check sum value" + format);
        row("upper", ":020000040001F9", "Incorrect address detected" + format);
        row("upper, sum", ":020000040001FA", "Incorrect line check sum value" + format);
        row("type 02", ":020000020000FC", type);
        row("blank", "", type);
        row("field not hex", ":0200000000Z9D5", "", "");
        QTest::newRow("16-bit") << QByteArrayList{kCode, kEnd}
                                << "Hex file is not a 32-bit address hex format file" + format
                                << "Failed..." << m_env.ProgramFolder();
        // The pending half EEPROM line is not written when the import fails.
        QTest::newRow("no end") << QByteArrayList{kLinear, kCode, ":024200000100BB"} << ""
                                << "Failed..." << m_env.ProgramFolder();
        QTest::newRow("folder missing") << QByteArrayList{kLinear, kCode} << ""
                                        << "" << m_env.Root() + "/gone";
    }
    void failures() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, message);
        QFETCH(QString, status);
        QFETCH(QString, folder);
        m_rig->context.programFolder = folder;
        m_rig->Import(WriteHex(lines));
        QStringList shown;
        for (const auto& box : m_rig->prompts.messages)
            shown << box.text + '|' + box.title + (box.icon == MsgIcon::None ? "" : "|icon");
        QCOMPARE(shown.join('\n'), message);
        CheckEnd(status);
        const bool created = folder == m_env.ProgramFolder();
        QCOMPARE(Converted("Flash.hx"), !created ? "absent" : lines[0] == kLinear ? kCodeLine : "");
        QCOMPARE(Converted("EEPROM.hx"), created ? "" : "absent");
    }

    void realFile_data() {
        QTest::addColumn<QByteArray>("ending");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void realFile() {
        QFETCH(QByteArray, ending);
        QFile source(qEnvironmentVariable("KESTREL_TEST_DATA") + "/table.hex");
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString path = WriteHex(source.readAll().trimmed().split('\n'), ending);
        m_rig->Import(path);
        for (int i = 0; i < 4; ++i) QCOMPARE(Converted(kFiles[i]), kTableFiles[i]);
        QVERIFY(m_rig->prompts.messages.isEmpty());
        CheckEnd("Success...");
        const FakeHost& host = m_rig->host;
        QCOMPARE(QList<int>({host.state.intLineCount, host.progressMaximum, host.progressPeak}),
                 QList<int>({10, 10, 10}));
        QCOMPARE(host.state.strHexFilePath, path);
        QCOMPARE(m_rig->settings.Read("BootHexFilePath", "Path", ""), path);
    }

    void assembledBlink() {
        m_rig->Import(qEnvironmentVariable("KESTREL_TEST_DATA") + "/blink.hex");
        QCOMPARE(Converted("Flash.hx"),
                 "00,00,00,00,29\r\n04,00,00,09,00\r\n"
                 "00,01,00,83,16,03,13,86,01,83,12,03,13,86,01,86,09,80,21\r\n"
                 "08,01,00,80,21,5A,30,86,06,06,29\r\n"
                 "80,01,00,A0,0B,80,29,A1,0B,80,29,08,00\r\n");
        QCOMPARE(Converted("UserID.hx"), "00,20,00,01,02,03,04\r\n");
        QCOMPARE(Converted("Config.hx"), "07,20,00,72,3F\r\n");
        const QStringList eeprom = Converted("EEPROM.hx").split("\r\n");
        QCOMPARE(eeprom.size(), 18);
        QCOMPARE(eeprom[0], "00,21,00,00,FF,01,FE,02,FD,03,FC,04,FB,05,FA,06,F9,07,F8");
        QCOMPARE(eeprom[15], "F0,21,00,78,87,79,86,7A,85,7B,84,7C,83,7D,82,7E,81,7F,80");
        QCOMPARE(eeprom[16], "00,21,00,80,7F,81,7E,82,7D,83,7C,84,7B,85,7A,86,79,87,78");
    }

    // Regions stick until an exact opening address; nothing after the end record is read.
    void regions() {
        m_rig->Import(
            WriteHex({kLinear, ":02001000ab1231", ":02FFFE001112DE", ":044000002100220079",
                      ":0240100023008B", ":02400e000102AD", ":0242000031008B", ":020800003200C4",
                      ":02422000330069", ":02400E003F3F32", kEnd, "junk"}));
        QCOMPARE(Converted("Flash.hx"), "08,00,00,ab,12\r\nFF,7F,00,11,12\r\n");
        QCOMPARE(Converted("UserID.hx"), "00,20,00,21,22\r\n08,20,00,23\r\n07,20,00,01\r\n");
        QCOMPARE(Converted("EEPROM.hx"), "00,21,00,31,32\r\n10,21,00,33\r\n");
        QCOMPARE(Converted("Config.hx"), "07,20,00,3F,3F\r\n");
        QCOMPARE(m_rig->host.state.intLineCount, 12);
        QCOMPARE(m_rig->host.progressPeak, 11);
        CheckEnd("Success...");
    }

    void pathAndDialog() {
        Rig& rig = *m_rig;
        const QString path = WriteHex({kLinear, ";bad", kEnd});
        QString savedAtMessage;
        rig.prompts.onMessage = [&](const auto&) {
            savedAtMessage = rig.settings.Read("BootHexFilePath", "Path", "");
        };
        rig.Import(path);
        QCOMPARE(rig.prompts.lastFilter, "Hex Files (*.hex);;Text Files (*.txt);;All Files (*.*)");
        QCOMPARE(rig.prompts.lastStartLocation, m_env.ProgramFolder());
        QCOMPARE(savedAtMessage, path);

        rig.settings.Write("BootHexFilePath", "Path", "elsewhere");
        rig.Import(path);
        QCOMPARE(rig.prompts.lastStartLocation, path);
        QCOMPARE(rig.settings.Read("BootHexFilePath", "Path", ""), "elsewhere");

        const QStringList log = rig.host.panelLog;
        rig.Import(m_env.Root() + "/none.hex");
        const ScriptedPrompts::Message& missing = rig.prompts.messages.last();
        QCOMPARE(missing.text, "The hex file selected does not exist!");
        QCOMPARE(missing.title, "Select another hex file");
        QCOMPARE(missing.icon, MsgIcon::Exclamation);
        ImportHexFile(rig.context);  // cancelled
        QCOMPARE(rig.prompts.messages.size(), 3);
        QCOMPARE(rig.host.panelLog, log);
        QCOMPARE(rig.host.state.strHexFilePath, path);
    }

    void lineCountLimit_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("32,767") << 32767;
        QTest::newRow("32,768") << 32768;
    }
    void lineCountLimit() {
        QFETCH(int, lines);
        QByteArrayList file(lines - 2, kCode);
        file.prepend(kLinear);
        file.append(kEnd);
        m_rig->Import(WriteHex(file, "\n"));
        const bool fits = lines <= 32767;
        QCOMPARE(m_rig->host.enableCalls.size(), fits ? 1 : 0);
        QCOMPARE(m_rig->host.state.intLineCount, 32767);
        QCOMPARE(m_rig->host.panelLog.size(), fits ? 3 : 0);
        QCOMPARE(Converted("Flash.hx").size(), fits ? (lines - 2) * 16 : 6);
    }

    // A second import reached through a yield does not start; a stop ends at the next yield.
    void reentryAndStop() {
        Rig second;
        QTimer::singleShot(0, [&] { second.Import(m_env.Root() + "/in.hex"); });
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (m_rig->host.progressValue == 2) modGeneral::StopWaiting();
        });
        stopper.start(0);
        m_rig->Import(WriteHex({kLinear, kCode, kCode, kEnd}));
        modGeneral::ResumeWaiting();
        QCOMPARE(second.prompts.lastFilter, QString());
        QVERIFY(second.host.panelLog.isEmpty());
        CheckEnd("");
        QCOMPARE(Converted("Flash.hx"), kCodeLine);
    }
};

KESTREL_TEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
