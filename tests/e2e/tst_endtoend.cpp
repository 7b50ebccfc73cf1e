#include <QAction>
#include <QTest>

#include "clearcommand.h"
#include "clshexcomm.h"
#include "connectcommand.h"
#include "convertedfiles.h"
#include "convertedline.h"
#include "eventloopwaits.h"
#include "frmmain.h"
#include "importcommand.h"
#include "linereader.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "simprocess.h"
#include "testmain.h"
#include "viewcommand.h"

namespace {

using Memory = QMap<quint32, quint8>;  // byte address to value, as an Intel HEX file holds it
constexpr int kErased = 0x3FFF;

// The data records; every file here lies below 64 KiB.
Memory ReadHex(const QString& path) {
    Memory memory;
    LineReader reader(path);
    QByteArray line;
    for (reader.Open(); reader.ReadLine(line);) {
        const QByteArray record = QByteArray::fromHex(line.mid(1));
        const quint32 address = quint8(record[1]) << 8 | quint8(record[2]);
        for (int i = 0; record[3] == 0 && i < quint8(record[0]); ++i)
            memory[address + i] = quint8(record[4 + i]);
    }
    return memory;
}

int Word(const Memory& memory, quint32 word) {
    return (memory.value(word * 2 + 1, 0x3F) << 8 | memory.value(word * 2, 0xFF)) & kErased;
}

}  // namespace

class tst_EndToEnd : public QObject {
    Q_OBJECT
public:
    explicit tst_EndToEnd(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void programsAndRuns_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("blink, real timing") << "blink.hex" << QStringList{};
        QTest::newRow("table, no line time") << "table.hex" << QStringList{"--baud", "0"};
    }
    // The window as the program builds it, against the simulator as Com 1.
    void programsAndRuns() {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        const QString dumpPath = m_environment.Root() + QStringLiteral("/dump.hex");
        SimProcess sim(options << "--dump" << dumpPath);
        QVERIFY(sim.Start());
        Trace trace;
        ScriptedPrompts prompts(trace);
        const QString hexPath = qEnvironmentVariable("KESTREL_TEST_DATA") + '/' + file;
        prompts.files = {hexPath};
        Settings settings(QStringLiteral("Kestrel"));
        EventLoopWaits waits;
        frmMain window(
            settings, prompts, waits,
            std::make_unique<clsHexComm>(std::make_unique<QSerialPortAdapter>(), prompts, waits),
            m_environment.ProgramFolder(),
            {ImportHexFile, ClearImportedCode, ViewHexCode, ConnectToPIC, ProgramPIC, RunPIC});
        Trigger(window, "mnuImportHexFile", "0111001");
        Trigger(window, "mnuConnectToPIC", "0110101");
        Trigger(window, "mnuProgEEPROM", "0110101");
        Trigger(window, "mnuProgramPIC", "0110011");
        Trigger(window, "mnuRunPIC", "0110001");
        QCOMPARE(trace.events.filter(QStringLiteral("msg ")), QStringList());
        QTRY_COMPARE(sim.Lines().filter(QStringLiteral(" reset")).size(), 1);
        QVERIFY(sim.Stop());

        QList<int> expected, device;  // flash words, user ID and config, then EEPROM bytes
        const Memory source = ReadHex(hexPath), dump = ReadHex(dumpPath);
        for (quint32 word = 0; word < 0x2008; ++word) {
            expected << (word >= 0x100 && word < 0x2000 ? Word(source, word) : kErased);
            device << Word(dump, word);
        }
        QList<int> eeprom(256, 0xFF);  // the converted lines, each at its own address in turn
        LineReader reader(ConvertedFiles::PathOf(m_environment.ProgramFolder(), "EEPROM.hx"));
        QByteArray text, data;
        for (reader.Open(); reader.ReadLine(text);) {
            ByteAddr at;
            QVERIFY(ConvertedLine(text).Decode(at, data));
            for (int i = 0; i < data.size(); ++i) eeprom[(WordOf(at) + i) % 256] = quint8(data[i]);
        }
        for (quint32 i = 0; i < 256; ++i) device << dump.value(0x4200 + 2 * i, 0xFF);
        QCOMPARE(device, expected + eeprom);
    }

private:
    // Runs a menu item; then the command groups, in the order import, clear, view, connect,
    // program, run, exit, must be as given.
    static void Trigger(frmMain& window, const char* item, const char* groupsAfter) {
        window.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        QString groups;
        for (const char* name : {"mnuImportHexFile", "mnuClearImportedCode", "mnuViewHexCode",
                                 "mnuConnectToPIC", "mnuProgramPIC", "mnuRunPIC", "mnuExitProg"})
            groups +=
                window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled() ? '1' : '0';
        QCOMPARE(groups, QString::fromLatin1(groupsAfter));
    }

    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
