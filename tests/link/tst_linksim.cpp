#include <QTest>

#include "clshexcomm.h"
#include "delay.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "simprocess.h"
#include "testmain.h"

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

const ByteAddr kEEPROMAddr{0x10, 0x21, 0x00};

// Word 0x100 (the first one not the bootloader's) plus 64 bytes a block.
ByteAddr FlashAddr(int block) {
    return {quint8(0x20 * block), 0x01, 0x00};
}

// 64 bytes thick with the bytes that need escaping.
QByteArray ControlHeavyBlock(int seed) {
    const char pattern[] = {0x04, 0x05, 0x0F, 0x05, 0x0F, 0x04, 0x04, 0x0F};
    QByteArray block;
    for (int i = 0; i < 64; ++i) block.append(pattern[(i + seed) % 8]);
    return block;
}

// kestrel-sim on Com 1 and a link with the real serial adapter talking to it.
struct SimRig {
    explicit SimRig(const QStringList& options)
        : sim(options), link(std::make_unique<QSerialPortAdapter>(), prompts) {}
    bool Open(float interval, qint16 retries) {
        link.SetTimeOutInterval(interval);
        link.SetTimeOutRetries(retries);
        return sim.Start() && link.OpenComPort(1);
    }

    SimProcess sim;
    ScriptedPrompts prompts;
    clsHexComm link;
};

}  // namespace

class tst_LinkSim : public QObject {
    Q_OBJECT
public:
    explicit tst_LinkSim(TestEnvironment&) {}

private slots:
    void initTestCase() {
        if (SimProcess::Program().isEmpty()) QSKIP("KESTREL_SIM is not set");
    }

    void everyCommandAtRealisticTiming() {
        SimRig rig({QStringLiteral("--version"), QStringLiteral("2.7")});
        QVERIFY(rig.Open(0.3F, 2));  // an escaped 64-byte reply alone takes 0.15 s on the line
        QByteArray data;
        QVERIFY(rig.link.blnReadBootVersion(2, data));
        QCOMPARE(data, Hex("0702"));  // minor first
        QVERIFY(rig.link.blnWriteEEPROM(3, kEEPROMAddr, Hex("0f0405")));
        QVERIFY(rig.link.blnReadEEPROM(3, kEEPROMAddr, data));
        QCOMPARE(data, Hex("0f0405"));
        QVERIFY(rig.link.blnWriteConfig(2, {0x07, 0x20, 0x00}, Hex("723f")));
        QVERIFY(rig.link.blnReadConfig(2, {0x07, 0x20, 0x00}, data));
        QCOMPARE(data, Hex("723f"));
        QVERIFY(rig.link.blnWriteProgram(8, FlashAddr(0), ControlHeavyBlock(0)));
        QVERIFY(rig.link.blnReadProgram(64, FlashAddr(0), data));
        QCOMPARE(data.toHex(' '), ControlHeavyBlock(0).toHex(' '));
        QVERIFY(rig.link.blnEraseProgram(1, FlashAddr(0)));
        QVERIFY(rig.link.blnReadProgram(4, FlashAddr(0), data));
        QCOMPARE(data, Hex("ff3fff3f"));
        QVERIFY(rig.link.blnResetPIC());
        QVERIFY(modGeneral::Delay(0.1F));
        QVERIFY(rig.sim.Lines().constLast().contains(QStringLiteral("reset")));
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.sim.RequestFrames(), 10);
    }

    void faults_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("dataReply");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* kind, bool dataReply, const char* text) {
            QTest::newRow(kind) << QString::fromLatin1(kind) << dataReply
                                << QString::fromLatin1(text);
        };
        row("silent", true, "No response received from bootloader firmware");
        row("bad-checksum", false, "In correct check sum value returned");
        row("wrong-command", false, "Invalid Command byte received");
        row("no-end", true, "<ETX> character not present");
        row("cut", false, "<ETX> character not present");
        row("short-data", true, "Incorrect requested number of data bytes received");
    }
    void faults() {
        QFETCH(QString, kind);
        QFETCH(bool, dataReply);
        QFETCH(QString, text);
        SimRig rig({QStringLiteral("--baud"), QStringLiteral("0"), QStringLiteral("--fault"),
                    kind + QStringLiteral("@2,3")});
        QVERIFY(rig.Open(0.05F, 2));
        QByteArray data = Hex("a5");
        QVERIFY(rig.link.blnWriteEEPROM(1, kEEPROMAddr, data));  // frame 1 is served well
        const bool result = dataReply ? rig.link.blnReadEEPROM(1, kEEPROMAddr, data)
                                      : rig.link.blnWriteEEPROM(1, kEEPROMAddr, data);
        QVERIFY(!result);
        QCOMPARE(data, Hex("a5"));
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text, text);
        QCOMPARE(rig.prompts.messages[0].icon, MsgIcon::Exclamation);
        QVERIFY(modGeneral::Delay(0.1F));
        // Only a peer that stayed silent gets the frame again.
        QCOMPARE(rig.sim.RequestFrames(), kind == QStringLiteral("silent") ? 3 : 2);
    }

    void adapterPulledOutDuringWrites() {
        SimRig rig({QStringLiteral("--baud"), QStringLiteral("0"), QStringLiteral("--fault"),
                    QStringLiteral("unplug@3")});
        QVERIFY(rig.Open(0.05F, 2));
        int written = 0;
        while (written < 6 && rig.link.blnWriteProgram(8, FlashAddr(written), QByteArray(64, '!')))
            ++written;
        QCOMPARE(written, 3);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text,
                 QStringLiteral("COM 1: not available. Change to another com port."));
        QCOMPARE(rig.prompts.messages[0].icon, MsgIcon::None);
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(rig.sim.WaitForExit());
    }

    // Flash frames full of escaped bytes outlast the flash interval on the line; each must
    // still be answered within its first wait. A loaded machine may delay a reply past the
    // ~60 ms the device leaves, so a series may run again; a link that starts the interval at
    // the hand-over needs a retry for every one of these frames and fails every series.
    void escapedFlashWritesFirstTime() {
        constexpr int kBlocks = 8;
        bool firstTimeEach = false;
        for (int series = 0; series < 3 && !firstTimeEach; ++series) {
            SimRig rig({});
            QVERIFY(rig.Open(0.08F, 2));
            firstTimeEach = true;
            for (int block = 0; block < kBlocks && firstTimeEach; ++block)
                firstTimeEach =
                    rig.link.blnWriteProgram(8, FlashAddr(block), ControlHeavyBlock(block));
            QVERIFY(modGeneral::Delay(0.1F));
            firstTimeEach = firstTimeEach && rig.sim.RequestFrames() == kBlocks;
        }
        QVERIFY(firstTimeEach);
    }
};

KESTREL_TEST_MAIN(tst_LinkSim)
#include "tst_linksim.moc"
