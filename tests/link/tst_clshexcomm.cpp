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

const ByteAddr kAt{0x07, 0x20, 0x00};
const QByteArray kUntouched("untouched");

using Call = bool (*)(clsHexComm&, QByteArray&);
const Call kVersion = [](auto& c, auto& d) { return c.blnReadBootVersion(2, d); };
const Call kReadProgram = [](auto& c, auto& d) { return c.blnReadProgram(4, kAt, d); };
const Call kReadEEPROM = [](auto& c, auto& d) { return c.blnReadEEPROM(2, kAt, d); };
const Call kReadConfig = [](auto& c, auto& d) { return c.blnReadConfig(2, kAt, d); };
const Call kWriteProgram = [](auto& c, auto&) {  // bytes beyond the block are not sent
    return c.blnWriteProgram(1, kAt, Hex("01020304050607080909"));
};
const Call kWriteEEPROM = [](auto& c, auto&) { return c.blnWriteEEPROM(2, kAt, Hex("0f33")); };
const Call kWriteConfig = [](auto& c, auto&) { return c.blnWriteConfig(2, kAt, Hex("723f")); };
const Call kErase = [](auto& c, auto&) { return c.blnEraseProgram(2, kAt); };
const Call kReset = [](auto& c, auto&) { return c.blnResetPIC(); };

// A link on an open fake port; the port belongs to the link.
struct Rig {
    explicit Rig(float interval = 0.03F, qint16 retries = 2)
        : port(new FakeSerialPort), link(std::unique_ptr<SerialPort>(port), prompts) {
        link.SetTimeOutInterval(interval);
        link.SetTimeOutRetries(retries);
        link.OpenComPort(1);
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

Q_DECLARE_METATYPE(Call)

class tst_clsHexComm : public QObject {
    Q_OBJECT
public:
    explicit tst_clsHexComm(TestEnvironment&) {}

private slots:
    // Escaped command bytes both ways, and escaped data in a reply.
    void commands_data() {
        QTest::addColumn<Call>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("data");
        const auto row = [](const char* name, Call call, const char* payload,
                            const QByteArray& reply, const char* data) {
            QTest::newRow(name) << call << Hex(payload) << reply << Hex(data);
        };
        row("version", kVersion, "0002ff", Frame::Build(Hex("00990301")), "0301");
        row("read program", kReadProgram, "0104072000", Frame::Build(Hex("0104072000ff3f050f")),
            "ff3f050f");
        row("read eeprom", kReadEEPROM, "0402072000", Hex("0f050402072000050533049b"), "0533");
        row("read config", kReadConfig, "0102072000", Frame::Build(Hex("0102072000723f")), "723f");
        row("write program", kWriteProgram, "02010720000102030405060708", Hex("0f0204fe"), "");
        row("write eeprom", kWriteEEPROM, "05020720000f33", Hex("0f050504fb"), "");
        row("write config", kWriteConfig, "0702072000723f", Hex("0f0704f9"), "");
        row("erase", kErase, "03020720000000", Hex("0f0304fd"), "");
        row("reset, no reply awaited", kReset, "0000ff", QByteArray(), "");
    }
    void commands() {
        QFETCH(Call, command);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, data);
        Rig rig;
        rig.port->responder = [reply](const QByteArray&) { return reply; };
        QByteArray out = kUntouched;
        QVERIFY(command(rig.link, out));
        QCOMPARE(rig.port->writes, QList<QByteArray>{Frame::Build(payload)});
        QCOMPARE(out, data.isEmpty() ? kUntouched : data);
        QVERIFY(rig.prompts.messages.isEmpty());

        rig.link.CloseComPort();
        out = kUntouched;
        QVERIFY(!command(rig.link, out));
        QCOMPARE(rig.port->writes.size(), 1);
        QCOMPARE(out, kUntouched);
        rig.ExpectOneMessage(QStringLiteral("Coms Port Closed"),
                             QStringLiteral("First open a specified Coms Port"), MsgIcon::Critical);
    }

    // A peer that answered is never asked again; a silent one gets every attempt.
    void replyChecks_data() {
        QTest::addColumn<Call>("command");
        QTest::addColumn<int>("retries");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, Call call, int retries, const QByteArray& reply,
                            const char* title, const char* text) {
            QTest::newRow(name) << call << retries << reply << QString::fromLatin1(title)
                                << QString::fromLatin1(text);
        };
        const char* silent = "No response received from bootloader firmware";
        const char* command = "Invalid Command byte received";
        row("silent", kReadEEPROM, 3, QByteArray(), "No Response", silent);
        row("no attempts", kVersion, 0, QByteArray(), "No Response", silent);
        row("negative attempts", kVersion, -1, QByteArray(), "No Response", silent);
        row("no start byte", kReadEEPROM, 3, Hex("100504020720001234048d"), "Format Error",
            "<STX> character not present");
        row("start byte only", kReadEEPROM, 3, Hex("0f"), "Format Error", command);
        row("other command", kReadEEPROM, 3, Frame::Build(Hex("01020720001234")), "Format Error",
            command);
        row("escape before another byte", kWriteEEPROM, 3, Hex("0f050404fb"), "Format Error",
            command);
        row("cut after command", kReadEEPROM, 3, Hex("0f0504"), "Format Error",
            "<ETX> character not present");
        row("data checksum", kReadEEPROM, 3, Hex("0f0504020720001234048e"), "Corrupt Data",
            "In correct check sum value received");
        row("one data byte short", kReadEEPROM, 3, Frame::Build(Hex("040207200012")), "Error",
            "Incorrect requested number of data bytes received");
        row("ack checksum, escaped code", kWriteEEPROM, 3, Hex("0f050504fa"), "Corrupt Data",
            "In correct check sum value returned");
    }
    void replyChecks() {
        QFETCH(Call, command);
        QFETCH(int, retries);
        QFETCH(QByteArray, reply);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Rig rig(0.02F, qint16(retries));
        rig.port->responder = [reply](const QByteArray&) { return reply; };
        QByteArray out = kUntouched;
        QVERIFY(!command(rig.link, out));
        QCOMPARE(out, kUntouched);
        QCOMPARE(rig.port->writes.size(), reply.isEmpty() ? std::max(retries, 0) : 1);
        rig.ExpectOneMessage(title, text, MsgIcon::Exclamation);
    }

    // The first attempt stays silent; its late reply trickles in over the second attempt, and
    // only a wait of the full interval sees all of it.
    void lateReplyCountsForRetry() {
        Rig rig(0.5F, 3);
        const QByteArray reply = Frame::Build(Hex("00990301"));
        rig.port->responder = [&rig, reply](const QByteArray&) {
            if (rig.port->writes.size() == 1) {
                rig.port->Deliver(reply.left(2), std::chrono::milliseconds(600));
                rig.port->Deliver(reply.mid(2), std::chrono::milliseconds(900));
            }
            return QByteArray();
        };
        QByteArray version;
        QVERIFY(rig.link.blnReadBootVersion(2, version));
        QCOMPARE(version, Hex("0301"));
        QCOMPARE(rig.port->writes.size(), 2);
    }

    void windowClosingEndsQuietly() {
        Rig rig(30.0F, 3);
        QTimer::singleShot(20, [] { modGeneral::StopWaiting(); });
        QByteArray out = kUntouched;
        const bool result =
            rig.link.blnReadBootVersion(2, out) || rig.link.blnReadBootVersion(2, out);
        modGeneral::ResumeWaiting();
        QVERIFY(!result);
        QCOMPARE(rig.port->writes.size(), 1);
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(out, kUntouched);
    }
};

KESTREL_TEST_MAIN(tst_clsHexComm)
#include "tst_clshexcomm.moc"
