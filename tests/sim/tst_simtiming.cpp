#include <QTest>

#include "simsession.h"
#include "testmain.h"

using namespace std::chrono_literals;

namespace {
constexpr int kBlocks = 6;
constexpr int kRetries = 2;
constexpr auto kFlashInterval = 80ms;

// A 64-byte flash write; escaped data has 0x04, 0x05 or 0x0F in every other byte.
QByteArray FlashFrame(int block, bool escaped) {
    const int address = 0x100 + block * 32;
    QByteArray payload = Hex("0208");
    payload.append(char(address & 0xFF)).append(char(address >> 8)).append('\0');
    const char pattern[] = {0x04, 0x05, 0x0F};
    for (int i = 0; i < 64; ++i)
        payload.append(escaped && i % 2 == 0 ? pattern[i / 2 % 3] : char(0x11 + i));
    return Frame::Build(payload);
}

// Sends as the program's link does (discard, send, wait the full interval, again only when
// nothing came); returns the attempt whose wait saw a reply, or 0.
int PacedSend(SimSession& sim, const QByteArray& frame, bool afterLineTime) {
    for (int attempt = 1; attempt <= kRetries; ++attempt) {
        sim.Send(frame);
        auto deadline = SimSession::Clock::now() + kFlashInterval;
        if (afterLineTime) deadline += Frame::LineTime(frame.size());
        SimSession::Pause(
            std::chrono::ceil<std::chrono::milliseconds>(deadline - SimSession::Clock::now()));
        // A wait that ended late must not count what came after its deadline.
        if (!sim.received.isEmpty() && sim.firstArrival <= deadline) return attempt;
    }
    return 0;
}
}  // namespace

// The simulator's line and write timing as a client sees it.
class TestSimTiming : public QObject {
    Q_OBJECT
public:
    explicit TestSimTiming(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void replyDeadline_data() {
        QTest::addColumn<bool>("escaped");
        QTest::addColumn<bool>("afterLineTime");
        QTest::addColumn<int>("attempt");  // every block's; 0: some block ends in no response
        QTest::newRow("plain data, from hand-over: a retry each") << false << false << 2;
        QTest::newRow("plain data, after line time: first time") << false << true << 1;
        QTest::newRow("escaped data, from hand-over: no response") << true << false << 0;
        QTest::newRow("escaped data, after line time: first time") << true << true << 1;
    }
    // A flash frame is on the line longer than the flash interval, so a deadline counted from the
    // hand-over expires before the acknowledgement; the copy sent then is lost in the write's
    // overrun (never served, never a bad frame) and queues later frames behind it.
    void replyDeadline() {
        QFETCH(bool, escaped);
        QFETCH(bool, afterLineTime);
        QFETCH(int, attempt);
        SimSession sim(LinkPath());
        QVERIFY(sim.Start({}));
        QList<int> attempts;
        for (int block = 0; block < kBlocks && !attempts.contains(0); ++block) {
            attempts.append(PacedSend(sim, FlashFrame(block, escaped), afterLineTime));
            if (attempts.last() != 0)
                QVERIFY2(sim.received.startsWith(Hex("0F0204FE")),
                         sim.received.toHex().constData());
        }
        if (attempt == 0) {
            QVERIFY2(attempts.last() == 0 && attempts.size() <= 4,
                     qPrintable(QString::number(attempts.size())));
            return;
        }
        QCOMPARE(attempts, QList<int>(kBlocks, attempt));
        SimSession::Pause(300ms);
        QCOMPARE(sim.Output().count(QStringLiteral("write-flash")), kBlocks);
        QVERIFY(!sim.Output().contains(QStringLiteral("bad checksum")));
    }

private:
    QString LinkPath() const { return m_environment.PortLinkFolder() + QStringLiteral("/com1"); }

    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(TestSimTiming)
#include "tst_simtiming.moc"
