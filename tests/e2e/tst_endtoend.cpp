#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "convertedfiles.h"
#include "convertedline.h"
#include "frmmain.h"
#include "linereader.h"
#include "scriptedprompts.h"
#include "simprocess.h"
#include "testmain.h"

namespace {

using Memory = QMap<quint32, quint8>;  // byte address to value, as an Intel HEX file holds it

constexpr quint32 kFirstWord = 0x100;
constexpr quint32 kFlashWords = 0x2000;
constexpr quint16 kErasedWord = 0x3FFF;
constexpr quint32 kEEPROMByte = 0x4200;
const QList<quint32> kUntouchedWords{0x2000, 0x2001, 0x2002, 0x2003, 0x2007};  // user ID, config
const QString kHexFile = QStringLiteral("blink.hex");  // blocks at words 0x100 and 0x180

Memory ReadHex(const QString& path) {
    Memory memory;
    LineReader reader(path);
    reader.Open();
    quint32 upper = 0;
    QByteArray line;
    while (reader.ReadLine(line)) {
        const QByteArray record = QByteArray::fromHex(line.mid(1));
        const quint32 address = upper + (quint8(record[1]) << 8 | quint8(record[2]));
        if (record[3] == 4) upper = (quint8(record[4]) << 8 | quint8(record[5])) << 16;
        if (record[3] != 0) continue;
        for (int i = 0; i < quint8(record[0]); ++i) memory[address + i] = quint8(record[4 + i]);
    }
    return memory;
}

quint16 Word(const Memory& memory, quint32 word) {
    return (memory.value(word * 2 + 1, 0x3F) << 8 | memory.value(word * 2, 0xFF)) & kErasedWord;
}

// The EEPROM as the converted lines leave it, each written at its own address in turn.
QByteArray ConvertedEEPROM(const QString& programFolder) {
    QByteArray eeprom(256, '\xFF');
    LineReader reader(ConvertedFiles::PathOf(programFolder, ConvertedFiles::kEEPROM));
    reader.Open();
    QByteArray text;
    while (reader.ReadLine(text)) {
        const ConvertedLine line = *ParseConvertedLine(text);
        for (int i = 0; i < line.bytData.size() && line.bytAddr[0] + i < 256; ++i)
            eeprom[line.bytAddr[0] + i] = line.bytData[i];
    }
    return eeprom;
}

}  // namespace

class tst_EndToEnd : public QObject {
    Q_OBJECT
public:
    explicit tst_EndToEnd(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void initTestCase() {
        if (SimProcess::Program().isEmpty()) QSKIP("KESTREL_SIM is not set");
    }
    void init() { TestEnvironment::ClearSettings(); }

    // A fault on the third frame hits the block at 0x180; the first block is in by then.
    void programsAndRuns_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("eepromWritten");
        const QString flashFailed =
            QStringLiteral("Unable to program flash memory address:000180|Flash Program Error");
        QTest::newRow("clean") << QString() << QStringList() << true;
        QTest::newRow("one lost ack") << "silent@3" << QStringList() << true;
        QTest::newRow("silent block")
            << "silent@3,4"
            << QStringList{"No response received from bootloader firmware|No Response", flashFailed}
            << true;
        QTest::newRow("bad ack") << "bad-checksum@3"
                                 << QStringList{"In correct check sum value returned|Corrupt Data",
                                                flashFailed}
                                 << true;
        QTest::newRow("unplugged")
            << "unplug@2"
            << QStringList{"COM 1: not available. Change to another com port.|Kestrel", flashFailed,
                           "First open a specified Coms Port|Coms Port Closed",
                           "Unable to program EEPROM memory address:002100|EEPROM Program Error"}
            << false;
    }
    void programsAndRuns() {
        QFETCH(QString, fault);
        QFETCH(QStringList, messages);
        QFETCH(bool, eepromWritten);
        const QString dumpPath = m_environment.Root() + QStringLiteral("/dump.hex");
        QStringList options{QStringLiteral("--dump"), dumpPath};
        if (!fault.isEmpty()) options << QStringLiteral("--fault") << fault;
        auto sim = std::make_unique<SimProcess>(options);
        QVERIFY(sim->Start());

        ScriptedPrompts prompts;
        const QString hexPath = qEnvironmentVariable("KESTREL_TEST_DATA") + '/' + kHexFile;
        prompts.files = {hexPath};
        frmMain window(prompts, m_environment.ProgramFolder());
        Trigger(window, "mnuImportHexFile", "nYYYnnY");
        Trigger(window, "mnuConnectToPIC", "nYYnYnY");
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("BootCodeVersion"))->text(), "v1.0");
        Trigger(window, "mnuProgEEPROM", "nYYnYnY");
        Trigger(window, "mnuProgramPIC", "nYYnnYY");
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Status"))->text(), QString());
        QCOMPARE(window.findChild<QWidget*>(QStringLiteral("prgStatus"))->property("value"), 0);
        QStringList shown;
        for (const ScriptedPrompts::Message& message : prompts.messages)
            shown << message.text + '|' + message.title;
        QCOMPARE(shown, messages);
        const bool unplugged = fault.startsWith(QStringLiteral("unplug"));
        if (unplugged)
            QVERIFY(sim->WaitForExit());
        else
            Trigger(window, "mnuRunPIC", "nYYnnnY");
        // The reset goes out without a reply; give the line time to carry it.
        if (!unplugged) QTRY_VERIFY(!sim->Lines().filter(QStringLiteral("reset")).isEmpty());
        const QByteArray eeprom = eepromWritten ? ConvertedEEPROM(m_environment.ProgramFolder())
                                                : QByteArray(256, '\xFF');
        const QStringList simLines = sim->Lines();
        sim.reset();  // ends it, so it dumps its memory

        const Memory device = ReadHex(dumpPath);
        const Memory source = ReadHex(hexPath);
        const bool failed = !messages.isEmpty();
        for (quint32 word = 0; word < kFlashWords; ++word) {
            if (failed && word >= 0x180 && word < 0x1A0) continue;  // the block that failed
            const bool written = word >= kFirstWord && (!failed || word < 0x180);
            QCOMPARE(Word(device, word), written ? Word(source, word) : kErasedWord);
        }
        for (const quint32 word : kUntouchedWords) QCOMPARE(Word(device, word), kErasedWord);
        for (int i = 0; i < eeprom.size(); ++i)
            QCOMPARE(device.value(kEEPROMByte + 2 * i, 0xFF), quint8(eeprom[i]));
        QCOMPARE(simLines.filter(QStringLiteral("reset")).size(), unplugged ? 0 : 1);
    }

private:
    // Runs a menu item and checks the command groups afterwards, "Y" on and "n" off, in the
    // order import, clear, view, connect, program, run, exit.
    static void Trigger(frmMain& window, const char* item, const char* groupsAfter) {
        window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QString groups;
        for (const char* name : {"mnuImportHexFile", "mnuClearImportedCode", "mnuViewHexCode",
                                 "mnuConnectToPIC", "mnuProgramPIC", "mnuRunPIC", "mnuExitProg"})
            groups +=
                window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled() ? 'Y' : 'n';
        QCOMPARE(groups, QString::fromLatin1(groupsAfter));
    }

    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
