#include <QtTest>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "waits.h"

namespace {
// Hands the second part of a reply over while the link waits, and notes whether the wait's
// deadline had been ended by then.
class SplitWaits : public Waits {
public:
    bool Delay(float) override { return true; }
    bool WaitUntil(const QDeadlineTimer& deadline) override {
        if (onWait) onWait();
        ended = deadline.hasExpired();
        return true;
    }
    bool Yield() override { return true; }
    void Wake() override {}
    void Stop() override {}
    void Resume() override {}
    bool Stopped() const override { return false; }

    std::function<void()> onWait;
    bool ended = false;
};
}  // namespace

class tst_ReplyFrame : public QObject {
    Q_OBJECT
public:
    explicit tst_ReplyFrame(TestEnvironment&) {}

private slots:
    // The fast path ends a wait once the whole valid reply is in, and only then; the link's
    // checks and messages stay as they are. Both commands travel with escaped codes.
    void fastReplies_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("read");  // blnReadEEPROM (data reply), else blnWriteEEPROM (ack)
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("rest");  // arrives during the wait
        QTest::addColumn<bool>("ended");
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("ack at once")
            << true << false << Hex("0F050504FB") << Hex("") << true << none;
        QTest::newRow("ack split in its escape")
            << true << false << Hex("0F05") << Hex("0504FB") << true << none;
        QTest::newRow("ack without fast")
            << false << false << Hex("0F050504FB") << Hex("") << false << none;
        QTest::newRow("ack cut") << true << false << Hex("0F0505") << Hex("") << false
                                 << "msg Format Error: <ETX> character not present (!)";
        QTest::newRow("ack wrong sum")
            << true << false << Hex("0F050504FC") << Hex("") << false
            << "msg Corrupt Data: In correct check sum value returned (!)";
        QTest::newRow("ack of another command")
            << true << false << Hex("0F0204FE") << Hex("") << false
            << "msg Format Error: Invalid Command byte received (!)";
        QTest::newRow("data split")
            << true << true << Hex("0F050401002100") << Hex("050F04CB") << true << none;
        QTest::newRow("data then junk")
            << true << true << Hex("0F050401002100050F04CB77") << Hex("") << true
            << "msg Format Error: <ETX> character not present (!)";
        QTest::newRow("data wrong sum")
            << true << true << Hex("0F050401002100050F04CC") << Hex("") << false
            << "msg Corrupt Data: In correct check sum value received (!)";
        QTest::newRow("data no end")
            << true << true << Hex("0F050401002100050FCB") << Hex("") << false
            << "msg Format Error: <ETX> character not present (!)";
    }
    void fastReplies() {
        QFETCH(bool, fast);
        QFETCH(bool, read);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, rest);
        QFETCH(bool, ended);
        QFETCH(QString, message);
        Trace trace;
        ScriptedPrompts prompts(trace);
        SplitWaits waits;
        auto* port = new FakeSerialPort;
        port->responder = [&](const QByteArray&) { return first; };
        waits.onWait = [&] { port->Deliver(rest); };
        clsHexComm link(std::unique_ptr<SerialPort>(port), prompts, waits);
        link.SetFastReplies(fast);
        QVERIFY(link.OpenComPort(1));
        QByteArray data;
        const bool done = read ? link.blnReadEEPROM(1, {0x00, 0x21, 0x00}, data)
                               : link.blnWriteEEPROM(1, {0x00, 0x21, 0x00}, Hex("0F"));
        QCOMPARE(waits.ended, ended);
        QCOMPARE(trace.events.join(QLatin1Char('\n')), message);
        QCOMPARE(done, message.isEmpty());
        QCOMPARE(data, done && read ? Hex("0F") : QByteArray());
    }
};

KESTREL_TEST_MAIN(tst_ReplyFrame)
#include "tst_replyframe.moc"
