#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

#include "clshexcomm.h"
#include "delay.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "portmap.h"
#include "scriptedprompts.h"
#include "testmain.h"

using Call = std::function<bool(clsHexComm&, QByteArray&)>;
Q_DECLARE_METATYPE(Call)

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

const ByteAddr kEEPROMAddr{0x00, 0x21, 0x00};
const QByteArray kUntouched("untouched");

const Call kReadEEPROM = [](clsHexComm& link, QByteArray& data) {
    return link.blnReadEEPROM(2, kEEPROMAddr, data);
};
const Call kWriteProgram = [](clsHexComm& link, QByteArray&) {
    return link.blnWriteProgram(1, {0x00, 0x02, 0x00}, Hex("0102030405060708"));
};
const Call kWriteEEPROM = [](clsHexComm& link, QByteArray&) {
    return link.blnWriteEEPROM(2, kEEPROMAddr, Hex("0f33"));
};

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
    void ExpectNotAvailable() const {
        ExpectOneMessage(QStringLiteral("Kestrel"),
                         QStringLiteral("COM 1: not available. Change to another com port."),
                         MsgIcon::None);
    }

    ScriptedPrompts prompts;
    FakeSerialPort* port;
    clsHexComm link;
};

}  // namespace

class tst_clsHexComm : public QObject {
    Q_OBJECT
public:
    explicit tst_clsHexComm(TestEnvironment&) {}

private slots:
    void openAndClose() {
        ScriptedPrompts prompts;
        auto* port = new FakeSerialPort;
        clsHexComm link(std::unique_ptr<SerialPort>(port), prompts);
        QVERIFY(!link.IsPortOpen());
        QCOMPARE(link.TimeOutInterval(), 1.0F);
        QCOMPARE(link.TimeOutRetries(), qint16(5));

        QVERIFY(link.OpenComPort(1));
        QVERIFY(link.OpenComPort(1));  // reopening closes first
        QCOMPARE(port->opened, QStringList(2, PortMap::DeviceName(1)));
        QCOMPARE(port->discards, 2);

        port->missingDevices.insert(PortMap::DeviceName(3));
        QVERIFY(!link.OpenComPort(3));
        QVERIFY(!link.IsPortOpen());
        QVERIFY(!port->IsOpen());
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text,
                 QStringLiteral("COM 3: not available. Change to another com port."));
        QCOMPARE(prompts.messages[0].title, QStringLiteral("Kestrel"));
        QCOMPARE(prompts.messages[0].icon, MsgIcon::None);

        QVERIFY(link.OpenComPort(1));
        link.CloseComPort();
        link.CloseComPort();
        QVERIFY(!link.IsPortOpen());
        QVERIFY(!port->IsOpen());
        QCOMPARE(prompts.messages.size(), 1);
    }

    void commands_data() {
        QTest::addColumn<Call>("call");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("version") << Call([](clsHexComm& link, QByteArray& data) {
            return link.blnReadBootVersion(2, data);
        }) << Hex("0002ff") << Frame::Build(Hex("00990301"))
                                 << Hex("0301");
        QTest::newRow("read program") << Call([](clsHexComm& link, QByteArray& data) {
            return link.blnReadProgram(4, {0x00, 0x01, 0x00}, data);
        }) << Hex("0104000100") << Frame::Build(Hex("0104000100ff3f050f"))
                                      << Hex("ff3f050f");
        QTest::newRow("read eeprom, escaped code both ways")
            << kReadEEPROM << Hex("0402002100") << Hex("0f05040200210005053304a1") << Hex("0533");
        QTest::newRow("read config") << Call([](clsHexComm& link, QByteArray& data) {
            return link.blnReadConfig(2, {0x07, 0x20, 0x00}, data);
        }) << Hex("0102072000") << Frame::Build(Hex("0102072000723f"))
                                     << Hex("723f");
        QTest::newRow("write program, bytes beyond the blocks not sent")
            << Call([](clsHexComm& link, QByteArray&) {
                   return link.blnWriteProgram(1, {0x00, 0x02, 0x00}, Hex("01020304050607080909"));
               })
            << Hex("02010002000102030405060708") << Hex("0f0204fe") << QByteArray();
        QTest::newRow("write eeprom, escaped ack")
            << kWriteEEPROM << Hex("05020021000f33") << Hex("0f050504fb") << QByteArray();
        QTest::newRow("write config") << Call([](clsHexComm& link, QByteArray&) {
            return link.blnWriteConfig(2, {0x07, 0x20, 0x00}, Hex("723f"));
        }) << Hex("0702072000723f") << Hex("0f0704f9")
                                      << QByteArray();
        QTest::newRow("erase") << Call([](clsHexComm& link, QByteArray&) {
            return link.blnEraseProgram(2, {0x00, 0x04, 0x00});
        }) << Hex("03020004000000")
                               << Hex("0f0304fd") << QByteArray();
        QTest::newRow("reset, no reply awaited")
            << Call([](clsHexComm& link, QByteArray&) { return link.blnResetPIC(); })
            << Hex("0000ff") << QByteArray() << QByteArray();
    }
    void commands() {
        QFETCH(Call, call);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, data);
        Rig rig;
        rig.ReplyWith(reply);
        QByteArray out = kUntouched;
        QVERIFY(call(rig.link, out));
        QCOMPARE(rig.port->writes, QList<QByteArray>{Frame::Build(payload)});
        QCOMPARE(out, data.isEmpty() ? kUntouched : data);
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void closedPortSendsNothing_data() { commands_data(); }
    void closedPortSendsNothing() {
        QFETCH(Call, call);
        Rig rig;
        rig.link.CloseComPort();
        QByteArray out = kUntouched;
        QVERIFY(!call(rig.link, out));
        QVERIFY(rig.port->writes.isEmpty());
        QCOMPARE(out, kUntouched);
        rig.ExpectOneMessage(QStringLiteral("Coms Port Closed"),
                             QStringLiteral("First open a specified Coms Port"), MsgIcon::Critical);
    }

    void replyChecks_data() {
        QTest::addColumn<Call>("call");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString format = QStringLiteral("Format Error");
        const QString corrupt = QStringLiteral("Corrupt Data");
        const QString noStx = QStringLiteral("<STX> character not present");
        const QString command = QStringLiteral("Invalid Command byte received");
        const QString noEtx = QStringLiteral("<ETX> character not present");
        const QString count = QStringLiteral("Incorrect requested number of data bytes received");
        QTest::newRow("no start byte")
            << kReadEEPROM << Hex("1005040200210012340488") << format << noStx;
        QTest::newRow("start byte only") << kReadEEPROM << Hex("0f") << format << command;
        QTest::newRow("other command")
            << kReadEEPROM << Frame::Build(Hex("01020021001234")) << format << command;
        QTest::newRow("escape before another byte")
            << kWriteEEPROM << Hex("0f050404fb") << format << command;
        QTest::newRow("cut after command") << kReadEEPROM << Hex("0f0504") << format << noEtx;
        QTest::newRow("ack cut after command") << kWriteProgram << Hex("0f02") << format << noEtx;
        QTest::newRow("no end byte")
            << kReadEEPROM << Hex("0f0504020021001234a1") << format << noEtx;
        QTest::newRow("data checksum") << kReadEEPROM << Hex("0f0504020021001234048e") << corrupt
                                       << QStringLiteral("In correct check sum value received");
        QTest::newRow("one data byte short")
            << kReadEEPROM << Frame::Build(Hex("040200210012")) << QStringLiteral("Error") << count;
        QTest::newRow("one data byte over") << kReadEEPROM << Frame::Build(Hex("04020021001234ff"))
                                            << QStringLiteral("Error") << count;
        QTest::newRow("ack checksum") << kWriteProgram << Hex("0f0204fd") << corrupt
                                      << QStringLiteral("In correct check sum value returned");
        QTest::newRow("ack checksum, escaped code")
            << kWriteEEPROM << Hex("0f050504fa") << corrupt
            << QStringLiteral("In correct check sum value returned");
    }
    void replyChecks() {
        QFETCH(Call, call);
        QFETCH(QByteArray, reply);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Rig rig;
        rig.ReplyWith(reply);
        QByteArray out = kUntouched;
        QVERIFY(!call(rig.link, out));
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

    // Default interval: a silent first attempt, then a reply that trickles in over the second
    // attempt's whole second; only a wait of the full length sees all of it.
    void fullIntervalAtDefaultTiming() {
        Rig rig(1.0F, 2);
        const QByteArray reply = Frame::Build(Hex("00990301"));
        rig.port->responder = [&rig, reply](const QByteArray&) {
            if (rig.port->writes.size() == 2) {
                rig.port->Deliver(reply.left(2), std::chrono::milliseconds(100));
                rig.port->Deliver(reply.mid(2), std::chrono::milliseconds(900));
            }
            return QByteArray();
        };
        QByteArray version;
        QVERIFY(rig.link.blnReadBootVersion(2, version));
        QCOMPARE(version, Hex("0301"));
        QCOMPARE(rig.port->writes.size(), 2);
    }

    void replyToEarlierAttemptCounts() {
        Rig rig(0.05F, 3);
        rig.port->responder = [&rig](const QByteArray&) {
            if (rig.port->writes.size() == 1)
                rig.port->Deliver(Hex("0f0204fe"), std::chrono::milliseconds(80));
            return QByteArray();
        };
        QByteArray unused;
        QVERIFY(kWriteProgram(rig.link, unused));
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
        const int discards = rig.port->discards;
        QVERIFY(rig.link.blnReadBootVersion(2, out));
        QCOMPARE(out, Hex("0301"));
        QCOMPARE(rig.port->discards, discards + 1);
        QCOMPARE(rig.prompts.messages.size(), 1);
    }

    void unplugMidExchange() {
        Rig rig(30.0F, 3);
        QTimer::singleShot(20, rig.port, &FakeSerialPort::Unplug);
        QElapsedTimer elapsed;
        elapsed.start();
        QByteArray unused;
        QVERIFY(!kWriteProgram(rig.link, unused));
        QVERIFY(elapsed.elapsed() < 10000);  // did not sit out the interval
        QCOMPARE(rig.port->writes.size(), 1);
        rig.ExpectNotAvailable();
        QVERIFY(!rig.link.IsPortOpen());

        rig.prompts.messages.clear();
        QVERIFY(!rig.link.blnResetPIC());
        QCOMPARE(rig.prompts.Titles(), QStringList{QStringLiteral("Coms Port Closed")});
    }

    void unplugBetweenExchanges() {
        Rig rig;
        rig.port->Unplug();
        QVERIFY(!rig.link.blnResetPIC());
        rig.ExpectNotAvailable();
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(rig.port->writes.isEmpty());
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
