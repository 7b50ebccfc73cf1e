#include <QFile>
#include <QTimer>
#include <QtTest>

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
const QStringList kFailedLog = {"Status=Importing Hex File...", "Status=Failed...", "Status="};
const QStringList kSilentLog = {"Status=Importing Hex File..."};
const QStringList kFiles = {"Flash.hx", "EEPROM.hx", "UserID.hx", "Config.hx"};
const QString kTableFiles[4] = {
    "00,00,00,00,29\r\n00,01,00,03,30,00,22,86,00,00,29\r\n"
    "00,02,00,82,07,10,34,20,34,30,34,40,34\r\n",
    "00,21,00,4B,65,73,74,72,65,6C,21,01,02,03,04\r\n10,21,00,A5,5A,C3,3C\r\n",
    "00,20,00,0A,0B,0C,0D\r\n", "07,20,00,79,3F\r\n"};

// A data record with its checksum; the data keeps the letter case it is given in.
QByteArray Record(int address, const QByteArray& hexData) {
    const QByteArray data = QByteArray::fromHex(hexData);
    const QByteArray header =
        QByteArray(1, char(data.size())) + char(address >> 8) + char(address) + '\0';
    int sum = 0;
    for (const char byte : header + data) sum += quint8(byte);
    return ':' + header.toHex().toUpper() + hexData + QByteArray(1, char(-sum)).toHex().toUpper();
}
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

    TestEnvironment& m_env;
    Rig* m_rig = nullptr;

private slots:
    void init() {
        for (const QString& name : kFiles) QFile::remove(m_env.ProgramFolder() + '/' + name);
        TestEnvironment::ClearSettings();
        m_rig = new Rig;
        m_rig->context.programFolder = m_env.ProgramFolder();
    }
    void cleanup() { delete m_rig; }

    void failures_data() {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QString>("text");  // empty: no message box
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("flash");
        const QString flash = "00,00,00,00,29\r\n";
        auto row = [&](const char* name, const QByteArray& bad, const QString& text,
                       const QString& title = "Format Error") {
            QTest::newRow(name) << QByteArrayList{kLinear, kCode, bad, kEnd} << text << title
                                << flash;
        };
        row("colon", ";020000000029D5", "Missing colon ':' at start of line");
        row("count", ":030000000029D5", "Number of data bytes not equal to line byte counter");
        row("sum", ":020000000029D6", "Incorrect line check sum value");
        row("upper", ":020000040001F9", "Incorrect address detected");
        row("upper, sum", ":020000040001FA", "Incorrect line check sum value");
        row("type 02", ":020000020000FC", "Record type field incorrect",
            "Incorrect hex file format");
        row("blank", "", "Record type field incorrect", "Incorrect hex file format");
        QTest::newRow("16-bit") << QByteArrayList{kCode, kEnd}
                                << "Hex file is not a 32-bit address hex format file"
                                << "Format Error"
                                << "";
        QTest::newRow("no end") << QByteArrayList{kLinear, kCode, Record(0x4200, "0100")} << ""
                                << "" << flash;
    }
    void failures() {
        QFETCH(QByteArrayList, lines);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, flash);
        FakeHost& host = m_rig->host;
        m_rig->Import(WriteHex(lines));
        QCOMPARE(m_rig->prompts.messages.size(), text.isEmpty() ? 0 : 1);
        if (!text.isEmpty()) {
            const ScriptedPrompts::Message& message = m_rig->prompts.messages.first();
            QCOMPARE(message.text, text);
            QCOMPARE(message.title, title);
            QCOMPARE(message.icon, MsgIcon::None);
        }
        QCOMPARE(host.panelLog, kFailedLog);
        QVERIFY(host.enableCalls.isEmpty());
        QCOMPARE(host.busyLog, QList<bool>({true, false}));
        QCOMPARE(host.progressValue, 0);
        QCOMPARE(Converted("Flash.hx"), flash);
        QCOMPARE(Converted("EEPROM.hx"), "");  // a pending half line is not written on failure
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
        FakeHost& host = m_rig->host;
        m_rig->Import(path);
        for (int i = 0; i < 4; ++i) QCOMPARE(Converted(kFiles[i]), kTableFiles[i]);
        QVERIFY(m_rig->prompts.messages.isEmpty());
        QCOMPARE(host.panelLog, QStringList({kSilentLog[0], "Status=Success...", "Status="}));
        QCOMPARE(host.enableCalls,
                 QList<FakeHost::Groups>({{false, true, true, true, false, false, true}}));
        QCOMPARE(host.state.intLineCount, 10);
        QCOMPARE(host.progressMaximum, 10);
        QCOMPARE(host.progressPeak, 10);
        QCOMPARE(host.progressValue, 0);
        QCOMPARE(host.busyLog, QList<bool>({true, false}));
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
        const QByteArrayList lines = {kLinear,
                                      Record(0x10, "ab12"),
                                      Record(0xFFFE, "1112"),
                                      Record(0x4000, "21002200"),
                                      Record(0x4010, "2300"),
                                      Record(0x400E, "0102").replace("400E", "400e"),
                                      Record(0x4200, "3100"),
                                      Record(0x0800, "3200"),
                                      Record(0x4220, "3300"),
                                      Record(0x400E, "3F3F"),
                                      kEnd,
                                      "junk"};
        FakeHost& host = m_rig->host;
        m_rig->Import(WriteHex(lines));
        QCOMPARE(Converted("Flash.hx"), "08,00,00,ab,12\r\nFF,7F,00,11,12\r\n");
        QCOMPARE(Converted("UserID.hx"), "00,20,00,21,22\r\n08,20,00,23\r\n07,20,00,01\r\n");
        QCOMPARE(Converted("EEPROM.hx"), "00,21,00,31,32\r\n10,21,00,33\r\n");
        QCOMPARE(Converted("Config.hx"), "07,20,00,3F,3F\r\n");
        QCOMPARE(host.state.intLineCount, 12);
        QCOMPARE(host.progressPeak, 11);
        QCOMPARE(host.PanelText("Status"), "");
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

    void raisedErrorsEndSilently_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("flash");
        QTest::newRow("field not hex") << m_env.ProgramFolder() << "00,00,00,00,29\r\n";
        QTest::newRow("folder missing") << m_env.Root() + "/gone"
                                        << "absent";
    }
    void raisedErrorsEndSilently() {
        QFETCH(QString, folder);
        QFETCH(QString, flash);
        m_rig->context.programFolder = folder;
        m_rig->Import(WriteHex({kLinear, kCode, ":0200000000Z9D5", kEnd}));
        QCOMPARE(m_rig->host.panelLog, kSilentLog);
        QVERIFY(m_rig->prompts.messages.isEmpty());
        QVERIFY(m_rig->host.enableCalls.isEmpty());
        QCOMPARE(m_rig->host.busy, true);
        QCOMPARE(Converted("Flash.hx"), flash);
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
        QCOMPARE(m_rig->host.panelLog, kSilentLog);
        QCOMPARE(Converted("Flash.hx"), "00,00,00,00,29\r\n");
    }
};

KESTREL_TEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
