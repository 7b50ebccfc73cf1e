#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "clshexcomm.h"
#include "eventloopwaits.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "linkcalls.h"
#include "portpath.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "testmain.h"

namespace {

const QByteArray kUntouched("untouched");
const QString kClosed =
    QStringLiteral("msg Coms Port Closed: First open a specified Coms Port (x)");
const QString kGone =
    QStringLiteral("msg Kestrel: COM %1: not available. Change to another com port.");

// A link on Com 1 over a fake port, tracing its messages.
struct FakeRig {
    FakeRig() { link.OpenComPort(1); }

    Trace trace;
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    FakeSerialPort* port = new FakeSerialPort;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts, waits};
};

bool Send(int fd, const QByteArray& bytes) {
    return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

// The real adapter on a pseudo-terminal whose slave is linked as Com 1; the test holds the
// master, the far end.
struct PtyRig {
    PtyRig() {
        grantpt(master);
        unlockpt(master);
        QFile::link(QString::fromLocal8Bit(ptsname(master)), PortPath::LinkPath(1));
    }
    ~PtyRig() {
        if (master >= 0) ::close(master);
        QFile::remove(PortPath::LinkPath(1));
    }
    void HangUp() { ::close(std::exchange(master, -1)); }

    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    Trace trace;
    ScriptedPrompts prompts{trace};
    EventLoopWaits waits;
    clsHexComm link{std::make_unique<QSerialPortAdapter>(), prompts, waits};
};

}  // namespace

class tst_Link : public QObject {
    Q_OBJECT
public:
    explicit tst_Link(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    // The link's own titles do not follow the executable's name.
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("renamed")); }

    void exchanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("request");  // the frame sent, where it matters
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("result");  // the data read, or the message shown
        const auto row = [](const char* name, const char* request, const char* reply,
                            const QString& result) {
            QTest::newRow(name) << QString(name).section(':', 0, 0) << Hex(request) << Hex(reply)
                                << result;
        };
        const auto msg = [](const char* text) { return QStringLiteral("msg %1 (!)").arg(text); };
        row("version", "0f0002ff04ff", "0f009903010463", "0301");
        row("reset", "0f0000ff0401", "", "");
        row("read program", "0f01050407200004d4", "0f010504072000ff3f0505050f0482", "ff3f050f");
        row("read eeprom", "0f05040207200004d3", "0f050402072000050533049b", "0533");
        row("read config", "0f010207200004d6", "0f0102072000723f0425", "723f");
        row("write program", "0f02010720000102030504050506070804b2", "0f0204fe", "");
        row("write eeprom", "0f050502072000050f330490", "0f050504fb", "");
        row("write config", "0f0702072000723f041f", "0f0704f9", "");
        row("erase", "0f0302072000000004d4", "0f0304fd", "");
        row("erase none", "0f030007200004d6", "0f0304fd", "");
        const QString code = msg("Format Error: Invalid Command byte received");
        row("read eeprom: silent", "", "",
            msg("No Response: No response received from bootloader firmware"));
        row("read eeprom: no start byte", "", "100504020720001234048d",
            msg("Format Error: <STX> character not present"));
        row("read eeprom: start byte only", "", "0f", code);
        row("write eeprom: escape before another code", "", "0f050404fb", code);
        row("version: escape before the end", "", "0f00050400",
            msg("Error: Incorrect requested number of data bytes received"));
        row("read eeprom: cut after escaped code", "", "0f0504",
            msg("Format Error: <ETX> character not present"));
        row("read eeprom: checksum", "", "0f050402072000050533049c",
            msg("Corrupt Data: In correct check sum value received"));
        row("write eeprom: checksum", "", "0f050504fa",
            msg("Corrupt Data: In correct check sum value returned"));
    }
    // Bytes that came before the request never count; a peer that answered is not asked again,
    // a silent one five times, each time waited for a second after the frame's line time.
    void exchanges() {
        QFETCH(QString, command);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, result);
        const LinkCall call = kLinkCalls[command];
        const bool failed = result.startsWith(QStringLiteral("msg "));
        FakeRig rig;
        rig.port->Deliver(Hex("0f0504020720001234048d"));
        rig.port->responder = [reply](const QByteArray&) { return reply; };
        QByteArray out = kUntouched;
        QCOMPARE(call(rig.link, out), !failed);
        QCOMPARE(out, failed || result.isEmpty() ? kUntouched : Hex(qPrintable(result)));
        QCOMPARE(rig.trace.events, failed ? QStringList{result} : QStringList{});
        QCOMPARE(request.isEmpty() ? QByteArray() : rig.port->writes.first(), request);
        QCOMPARE(rig.port->writes.size(), reply.isEmpty() && command != "reset" ? 5 : 1);
        const auto wait = std::chrono::seconds(1) + Frame::LineTime(rig.port->writes[0].size());
        const auto left = rig.waits.deadline.remainingTimeAsDuration();
        QVERIFY(command == "reset" ||
                (left <= wait && left > wait - std::chrono::milliseconds(50)));
    }

    // A closed port, a port that cannot be opened (Com N is the ports folder's entry when
    // there is one, even a dangling one), the adapter pulled out or the window closing while a
    // reply is awaited: the link is closed but for a stop, and the next command says so.
    void lostPort_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QStringList>("trace");
        QTest::newRow("closed") << "close" << 0 << QStringList{kClosed, kClosed};
        QTest::newRow("no device") << "open 2" << 0 << QStringList{kGone.arg(2), kClosed};
        QTest::newRow("dangling entry") << "open 3" << 0 << QStringList{kGone.arg(3), kClosed};
        QTest::newRow("unplugged") << "unplug" << 1 << QStringList{kGone.arg(1), kClosed};
        QTest::newRow("stopped") << "stop" << 2 << QStringList{};
    }
    void lostPort() {
        QFETCH(QString, how);
        QFETCH(int, writes);
        QFETCH(QStringList, trace);
        const QString entry = m_environment.PortLinkFolder() + QStringLiteral("/com3");
        QFile::link(QStringLiteral("/nonexistent"), entry);
        FakeRig rig;
        rig.port->missingDevices << QStringLiteral("/dev/ttyS1") << entry;
        rig.link.SetTimeOutRetries(1);
        rig.waits.onReplyWait = [&] { how == "stop" ? rig.waits.Stop() : rig.port->Unplug(); };
        if (how == "close") rig.link.CloseComPort();
        QVERIFY(how.startsWith("open") ? !rig.link.OpenComPort(qint16(how.back().digitValue()))
                                       : !rig.link.blnWriteEEPROM(2, kCallAt, {}));
        QCOMPARE(rig.link.IsPortOpen() || rig.port->IsOpen(), how == "stop");
        rig.waits.Resume();
        rig.link.blnResetPIC();
        QCOMPARE(rig.port->writes.size(), writes);
        QCOMPARE(rig.trace.events, trace);
    }

    // Over a real port: a reply that sat there before the request is not the reply, and the
    // wait lasts the interval after the frame's line time although the answer came early.
    // Then the peer hangs up, while idle or mid exchange: the exchange ends at once with one
    // message, and the port's errors do not keep the process busy.
    void pty_data() {
        QTest::addColumn<bool>("midExchange");
        QTest::newRow("while idle") << false;
        QTest::newRow("mid exchange") << true;
    }
    void pty() {
        QFETCH(bool, midExchange);
        PtyRig pty;
        QVERIFY(pty.link.OpenComPort(1) && pty.link.OpenComPort(1));  // again, while open
        pty.link.SetTimeOutInterval(0.2F);
        QVERIFY(Send(pty.master, Hex("0f009908070458")));
        QTest::qSleep(50);  // no events: it stays in the port, unseen by the link
        QTimer::singleShot(50, this, [&pty] { Send(pty.master, Hex("0f009903010463")); });
        QElapsedTimer elapsed;
        elapsed.start();
        QByteArray version;
        QVERIFY(pty.link.blnReadBootVersion(2, version) && version == Hex("0301"));
        const auto took = std::chrono::nanoseconds(elapsed.nsecsElapsed());
        QVERIFY(took >= std::chrono::milliseconds(200) + Frame::LineTime(6));
        QVERIFY(took < std::chrono::milliseconds(900));  // loosely: not the default second
        pty.link.SetTimeOutInterval(30.0F);
        pty.link.SetTimeOutRetries(1);
        QTimer::singleShot(midExchange ? 50 : 0, this, [&pty] { pty.HangUp(); });
        const std::clock_t cpuBefore = std::clock();
        if (!midExchange) QVERIFY(pty.waits.Delay(0.5F));
        elapsed.restart();
        QVERIFY(!pty.link.blnWriteProgram(1, {0x00, 0x02, 0x00}, kCallBlock));
        QVERIFY(elapsed.elapsed() < 10000);  // did not sit out the interval
        QVERIFY(!pty.link.blnResetPIC());
        QCOMPARE(pty.trace.events, (QStringList{kGone.arg(1), kClosed}));
        QVERIFY(std::clock() - cpuBefore < CLOCKS_PER_SEC / 5);
    }

private:
    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_Link)
#include "tst_link.moc"
