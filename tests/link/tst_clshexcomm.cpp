#include <QTest>
#include <QTimer>

#include "clshexcomm.h"
#include "delay.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "scriptedprompts.h"
#include "testmain.h"

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

const ByteAddr kEEPROMAddr{0x00, 0x21, 0x00};
const QByteArray kUntouched("untouched");

enum class Cmd {
    Version,
    ReadProgram,
    ReadEEPROM,
    ReadConfig,
    WriteProgram,
    WriteEEPROM,
    WriteConfig,
    Erase,
    Reset
};

bool Run(clsHexComm& link, Cmd command, QByteArray& data) {
    switch (command) {
        case Cmd::Version:
            return link.blnReadBootVersion(2, data);
        case Cmd::ReadProgram:
            return link.blnReadProgram(4, {0x00, 0x01, 0x00}, data);
        case Cmd::ReadEEPROM:
            return link.blnReadEEPROM(2, kEEPROMAddr, data);
        case Cmd::ReadConfig:
            return link.blnReadConfig(2, {0x07, 0x20, 0x00}, data);
        case Cmd::WriteProgram:  // bytes beyond the blocks are not sent
            return link.blnWriteProgram(1, {0x00, 0x02, 0x00}, Hex("01020304050607080909"));
        case Cmd::WriteEEPROM:
            return link.blnWriteEEPROM(2, kEEPROMAddr, Hex("0f33"));
        case Cmd::WriteConfig:
            return link.blnWriteConfig(2, {0x07, 0x20, 0x00}, Hex("723f"));
        case Cmd::Erase:
            return link.blnEraseProgram(2, {0x00, 0x04, 0x00});
        case Cmd::Reset:
            return link.blnResetPIC();
    }
    return false;
}

// A link on an open fake port; the port belongs to the link.
struct Rig {
    explicit Rig(float interval = 0.03F, qint16 retries = 2)
        : port(new FakeSerialPort), link(std::unique_ptr<SerialPort>(port), prompts) {
        link.SetTimeOutInterval(interval);
        link.SetTimeOutRetries(retries);
        link.OpenComPort(1);
    }
    void ReplyWith(const QByteArray& reply) {
        port->responder = [reply](const QByteArray&) { return reply; };
    }
    void ExpectOneMessage(const QString& title, const QString& text, MsgIcon icon) const {
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].title, title);
        QCOMPARE(prompts.messages[0].text, text);
        QCOMPARE(prompts.messages[0].icon, icon);
        QCOMPARE(prompts.messages[0].buttons, MsgButtons::Ok);
    }

    ScriptedPrompts prompts;
    FakeSerialPort* port;
    clsHexComm link;
};

}  // namespace

Q_DECLARE_METATYPE(Cmd)

class tst_clsHexComm : public QObject {
    Q_OBJECT
public:
    explicit tst_clsHexComm(TestEnvironment&) {}

private slots:
    void commands_data() {
        QTest::addColumn<Cmd>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("version") << Cmd::Version << Hex("0002ff") << Frame::Build(Hex("00990301"))
                                 << Hex("0301");
        QTest::newRow("read program") << Cmd::ReadProgram << Hex("0104000100")
                                      << Frame::Build(Hex("0104000100ff3f050f")) << Hex("ff3f050f");
        QTest::newRow("read eeprom, escaped code both ways")
            << Cmd::ReadEEPROM << Hex("0402002100") << Hex("0f05040200210005053304a1")
            << Hex("0533");
        QTest::newRow("read config") << Cmd::ReadConfig << Hex("0102072000")
                                     << Frame::Build(Hex("0102072000723f")) << Hex("723f");
        QTest::newRow("write program") << Cmd::WriteProgram << Hex("02010002000102030405060708")
                                       << Hex("0f0204fe") << QByteArray();
        QTest::newRow("write eeprom, escaped ack")
            << Cmd::WriteEEPROM << Hex("05020021000f33") << Hex("0f050504fb") << QByteArray();
        QTest::newRow("write config")
            << Cmd::WriteConfig << Hex("0702072000723f") << Hex("0f0704f9") << QByteArray();
        QTest::newRow("erase") << Cmd::Erase << Hex("03020004000000") << Hex("0f0304fd")
                               << QByteArray();
        QTest::newRow("reset, no reply awaited")
            << Cmd::Reset << Hex("0000ff") << QByteArray() << QByteArray();
    }
    void commands() {
        QFETCH(Cmd, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, data);
        Rig rig;
        rig.ReplyWith(reply);
        QByteArray out = kUntouched;
        QVERIFY(Run(rig.link, command, out));
        QCOMPARE(rig.port->writes, QList<QByteArray>{Frame::Build(payload)});
        QCOMPARE(out, data.isEmpty() ? kUntouched : data);
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void closedPortSendsNothing_data() { commands_data(); }
    void closedPortSendsNothing() {
        QFETCH(Cmd, command);
        Rig rig;
        rig.link.CloseComPort();
        QByteArray out = kUntouched;
        QVERIFY(!Run(rig.link, command, out));
        QVERIFY(rig.port->writes.isEmpty());
        QCOMPARE(out, kUntouched);
        rig.ExpectOneMessage(QStringLiteral("Coms Port Closed"),
                             QStringLiteral("First open a specified Coms Port"), MsgIcon::Critical);
    }

    void replyChecks_data() {
        QTest::addColumn<Cmd>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString format = QStringLiteral("Format Error");
        const QString corrupt = QStringLiteral("Corrupt Data");
        const QString command = QStringLiteral("Invalid Command byte received");
        const QString noEtx = QStringLiteral("<ETX> character not present");
        const QString count = QStringLiteral("Incorrect requested number of data bytes received");
        const QString ackSum = QStringLiteral("In correct check sum value returned");
        QTest::newRow("no start byte") << Cmd::ReadEEPROM << Hex("1005040200210012340493") << format
                                       << QStringLiteral("<STX> character not present");
        QTest::newRow("start byte only") << Cmd::ReadEEPROM << Hex("0f") << format << command;
        QTest::newRow("other command")
            << Cmd::ReadEEPROM << Frame::Build(Hex("01020021001234")) << format << command;
        QTest::newRow("escape before another byte")
            << Cmd::WriteEEPROM << Hex("0f050404fb") << format << command;
        QTest::newRow("cut after command") << Cmd::ReadEEPROM << Hex("0f0504") << format << noEtx;
        QTest::newRow("no end byte")
            << Cmd::ReadEEPROM << Hex("0f050402002100123493") << format << noEtx;
        QTest::newRow("data checksum")
            << Cmd::ReadEEPROM << Hex("0f05040200210012340494") << corrupt
            << QStringLiteral("In correct check sum value received");
        QTest::newRow("one data byte short") << Cmd::ReadEEPROM << Frame::Build(Hex("040200210012"))
                                             << QStringLiteral("Error") << count;
        QTest::newRow("ack checksum") << Cmd::WriteProgram << Hex("0f0204fd") << corrupt << ackSum;
        QTest::newRow("ack checksum, escaped code")
            << Cmd::WriteEEPROM << Hex("0f050504fa") << corrupt << ackSum;
    }
    void replyChecks() {
        QFETCH(Cmd, command);
        QFETCH(QByteArray, reply);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Rig rig;
        rig.ReplyWith(reply);
        QByteArray out = kUntouched;
        QVERIFY(!Run(rig.link, command, out));
        QCOMPARE(out, kUntouched);
        QCOMPARE(rig.port->writes.size(), 1);  // a reply that came is never retried
        rig.ExpectOneMessage(title, text, MsgIcon::Exclamation);
    }

    void silentPeer_data() {
        QTest::addColumn<int>("retries");
        QTest::newRow("no attempts") << 0;
        QTest::newRow("negative") << -1;
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
    }
    void silentPeer() {
        QFETCH(int, retries);
        Rig rig(0.02F, qint16(retries));
        QByteArray out = kUntouched;
        QVERIFY(!rig.link.blnReadBootVersion(2, out));
        QCOMPARE(rig.port->writes.size(), std::max(retries, 0));
        QCOMPARE(out, kUntouched);
        rig.ExpectOneMessage(QStringLiteral("No Response"),
                             QStringLiteral("No response received from bootloader firmware"),
                             MsgIcon::Exclamation);
    }

    // At the default interval: a silent first attempt, then a reply that trickles in over the
    // second attempt's whole second; only a wait of the full length sees all of it.
    void fullIntervalAtDefaultTiming() {
        ScriptedPrompts prompts;
        auto* port = new FakeSerialPort;
        clsHexComm link(std::unique_ptr<SerialPort>(port), prompts);
        QCOMPARE(link.TimeOutInterval(), 1.0F);
        QCOMPARE(link.TimeOutRetries(), qint16(5));
        link.SetTimeOutRetries(2);
        const QByteArray reply = Frame::Build(Hex("00990301"));
        port->responder = [port, reply](const QByteArray&) {
            if (port->writes.size() == 2) {
                port->Deliver(reply.left(2), std::chrono::milliseconds(100));
                port->Deliver(reply.mid(2), std::chrono::milliseconds(900));
            }
            return QByteArray();
        };
        QVERIFY(link.OpenComPort(1));
        QByteArray version;
        QVERIFY(link.blnReadBootVersion(2, version));
        QCOMPARE(version, Hex("0301"));
        QCOMPARE(port->writes.size(), 2);
    }

    void replyToEarlierAttemptCounts() {
        Rig rig(0.05F, 3);
        rig.port->responder = [&rig](const QByteArray&) {
            if (rig.port->writes.size() == 1)
                rig.port->Deliver(Hex("0f0204fe"), std::chrono::milliseconds(80));
            return QByteArray();
        };
        QByteArray unused;
        QVERIFY(Run(rig.link, Cmd::WriteProgram, unused));
        QCOMPARE(rig.port->writes.size(), 2);
    }

    void lateBytesNeverCountForNextExchange() {
        Rig rig(0.03F, 1);
        rig.port->replyDelay = std::chrono::milliseconds(60);
        rig.ReplyWith(Frame::Build(Hex("00990807")));
        QByteArray out;
        QVERIFY(!rig.link.blnReadBootVersion(2, out));
        QVERIFY(modGeneral::Delay(0.08F));
        QVERIFY(!rig.link.strReceived().isEmpty());

        rig.port->replyDelay = std::chrono::milliseconds(5);
        rig.ReplyWith(Frame::Build(Hex("00990301")));
        QVERIFY(rig.link.blnReadBootVersion(2, out));
        QCOMPARE(out, Hex("0301"));
        QCOMPARE(rig.prompts.messages.size(), 1);
    }

    void windowClosingEndsQuietly() {
        Rig rig(30.0F, 3);
        QTimer::singleShot(20, [] { modGeneral::StopWaiting(); });
        QByteArray out = kUntouched;
        const bool result = rig.link.blnReadBootVersion(2, out);
        const bool sentAgain = rig.link.blnReadBootVersion(2, out);
        modGeneral::ResumeWaiting();
        QVERIFY(!result);
        QVERIFY(!sentAgain);
        QCOMPARE(rig.port->writes.size(), 1);
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(out, kUntouched);
    }
};

KESTREL_TEST_MAIN(tst_clsHexComm)
#include "tst_clshexcomm.moc"
