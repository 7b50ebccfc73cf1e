#include <QTest>

#include "framecodec.h"
#include "pacedclient.h"
#include "simsession.h"
#include "testmain.h"

using namespace std::chrono_literals;

namespace {
constexpr int kBlocks = 6;
constexpr int kRetries = 2;
constexpr auto kFlashInterval = 80ms;
const QByteArray kAck = QByteArray::fromHex("0F0204FE");

// A 64-byte flash write at the given block; in escaped data every other byte is 0x04, 0x05 or
// 0x0F, which makes the frame 32 bytes longer.
QByteArray FlashFrame(int block, bool escaped) {
    const int address = 0x100 + block * 32;
    QByteArray payload = QByteArray::fromHex("0208");
    payload.append(char(address & 0xFF)).append(char(address >> 8)).append('\0');
    const char pattern[] = {0x04, 0x05, 0x0F};
    for (int i = 0; i < 64; ++i)
        payload.append(escaped && i % 2 == 0 ? pattern[i / 2 % 3] : char(0x11 + i));
    return Frame::Build(payload);
}
}  // namespace

// The simulator's line and write timing as a client sees it.
class TestSimTiming : public QObject {
    Q_OBJECT
public:
    explicit TestSimTiming(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void overrun_data();
    void overrun();
    void replyDeadline_data();
    void replyDeadline();

private:
    QString LinkPath() const { return m_environment.PortLinkFolder() + QStringLiteral("/com1"); }

    TestEnvironment& m_environment;
};

void TestSimTiming::overrun_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("replies");
    const QByteArray version = QByteArray::fromHex("0F0002000104FD");
    QTest::newRow("realistic: lost") << QStringList{} << kAck;
    QTest::newRow("instant: served") << QStringList{"--baud", "0"} << kAck + version;
}

// A frame that reaches the device while it writes flash is lost, and the next one is served.
void TestSimTiming::overrun() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, replies);
    SimSession sim(LinkPath());
    QVERIFY(sim.Start(arguments));
    const QByteArray version = Frame::Build(QByteArray::fromHex("0002FF"));
    sim.Write(FlashFrame(0, false) + version);
    SimSession::Pause(500ms);
    QCOMPARE(sim.Received(), replies);
    const QByteArray reply = QByteArray::fromHex("0F0002000104FD");
    QCOMPARE(sim.Ask(version, reply.size()), reply);
}

void TestSimTiming::replyDeadline_data() {
    QTest::addColumn<bool>("escaped");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("attempt");  // every block's; 0: some block ends in no response
    const int literal = int(PacedClient::Deadline::FromHandOver);
    const int settled = int(PacedClient::Deadline::AfterLineTime);
    QTest::newRow("plain data, from hand-over: a retry each") << false << literal << 2;
    QTest::newRow("plain data, after line time: first time") << false << settled << 1;
    QTest::newRow("escaped data, from hand-over: no response") << true << literal << 0;
    QTest::newRow("escaped data, after line time: first time") << true << settled << 1;
}

// A flash frame is on the line for longer than the flash interval, so a deadline counted from
// the hand-over expires before the acknowledgement can come; the copy sent then falls into the
// write and queues later frames behind it.
void TestSimTiming::replyDeadline() {
    QFETCH(bool, escaped);
    QFETCH(int, rule);
    QFETCH(int, attempt);
    SimSession sim(LinkPath());
    QVERIFY(sim.Start({}));
    PacedClient client(sim, PacedClient::Deadline(rule), kFlashInterval, kRetries);
    QList<int> attempts;
    for (int block = 0; block < kBlocks && !attempts.contains(0); ++block) {
        attempts.append(client.Send(FlashFrame(block, escaped)));
        if (attempts.last() != 0)
            QVERIFY2(sim.Received().startsWith(kAck), sim.Received().toHex().constData());
    }
    if (attempt == 0) {
        const qsizetype failed = attempts.indexOf(0);
        QVERIFY2(failed >= 0 && failed < 4, qPrintable(QString::number(attempts.size())));
        return;
    }
    QCOMPARE(attempts, QList<int>(kBlocks, attempt));
    SimSession::Pause(300ms);
    QCOMPARE(sim.Output().count(QStringLiteral("write-flash")), kBlocks);
    QVERIFY(!sim.Output().contains(QStringLiteral("bad checksum")));
}

KESTREL_TEST_MAIN(TestSimTiming)
#include "tst_simtiming.moc"
