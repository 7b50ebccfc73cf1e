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

const ByteAddr kFlashAddr{0x00, 0x01, 0x00};  // word 0x100, the first one not the bootloader's
const ByteAddr kEEPROMAddr{0x10, 0x21, 0x00};
const ByteAddr kConfigAddr{0x07, 0x20, 0x00};

// 64 bytes of words low byte first, thick with the bytes that need escaping.
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
        QVERIFY(rig.Open(0.2F, 2));
        QByteArray data;
        QVERIFY(rig.link.blnReadBootVersion(2, data));
        QCOMPARE(data, Hex("0702"));  // minor first
        QVERIFY(rig.link.blnWriteEEPROM(3, kEEPROMAddr, Hex("0f0405")));
        QVERIFY(rig.link.blnReadEEPROM(3, kEEPROMAddr, data));
        QCOMPARE(data, Hex("0f0405"));
        QVERIFY(rig.link.blnWriteConfig(2, kConfigAddr, Hex("723f")));
        QVERIFY(rig.link.blnReadConfig(2, kConfigAddr, data));
        QCOMPARE(data, Hex("723f"));
        rig.link.SetTimeOutInterval(0.08F);
        QVERIFY(rig.link.blnWriteProgram(8, kFlashAddr, ControlHeavyBlock(0)));
        QVERIFY(rig.link.blnReadProgram(2, kFlashAddr, data));
        QCOMPARE(data, ControlHeavyBlock(0).left(2));
        QVERIFY(rig.link.blnEraseProgram(1, kFlashAddr));
        QVERIFY(rig.link.blnReadProgram(4, kFlashAddr, data));
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
        const QString noEtx = QStringLiteral("<ETX> character not present");
        QTest::newRow("silent") << "silent" << true
                                << QStringLiteral("No response received from bootloader firmware");
        QTest::newRow("bad checksum, data")
            << "bad-checksum" << true << QStringLiteral("In correct check sum value received");
        QTest::newRow("bad checksum, ack")
            << "bad-checksum" << false << QStringLiteral("In correct check sum value returned");
        QTest::newRow("wrong command")
            << "wrong-command" << false << QStringLiteral("Invalid Command byte received");
        QTest::newRow("no end") << "no-end" << true << noEtx;
        QTest::newRow("cut, data") << "cut" << true << noEtx;
        QTest::newRow("cut, ack") << "cut" << false << noEtx;
        QTest::newRow("short data")
            << "short-data" << true
            << QStringLiteral("Incorrect requested number of data bytes received");
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
        for (int block = 0; block < 6; ++block) {
            const ByteAddr addr{quint8(0x20 * block), 0x01, 0x00};
            if (!rig.link.blnWriteProgram(8, addr, QByteArray(64, '\x21'))) break;
            ++written;
        }
        QCOMPARE(written, 3);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text,
                 QStringLiteral("COM 1: not available. Change to another com port."));
        QCOMPARE(rig.prompts.messages[0].icon, MsgIcon::None);
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(rig.sim.WaitForExit());
    }

    // Flash frames full of escaped bytes outlast the flash interval on the line; each must
    // still be answered within its first wait.
    void escapedFlashWritesFirstTime() {
        SimRig rig({});
        QVERIFY(rig.Open(0.08F, 2));
        constexpr int kBlocks = 8;
        for (int block = 0; block < kBlocks; ++block) {
            const ByteAddr addr{quint8(0x20 * block), 0x01, 0x00};
            QVERIFY2(rig.link.blnWriteProgram(8, addr, ControlHeavyBlock(block)),
                     qPrintable(rig.prompts.Titles().join(',')));
        }
        QVERIFY(modGeneral::Delay(0.1F));
        QCOMPARE(rig.sim.RequestFrames(), kBlocks);
        rig.link.SetTimeOutInterval(0.3F);  // the escaped reply alone needs 0.15 s on the line
        QByteArray back;
        QVERIFY(rig.link.blnReadProgram(64, kFlashAddr, back));
        QCOMPARE(back.toHex(' '), ControlHeavyBlock(0).toHex(' '));
    }
};

KESTREL_TEST_MAIN(tst_LinkSim)
#include "tst_linksim.moc"
