#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "clshexcomm.h"
#include "eventloopwaits.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "portpath.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "testmain.h"

namespace {

using Call = bool (*)(clsHexComm&, QByteArray&);
const ByteAddr kAt{0x07, 0x20, 0x00};
const QByteArray kBlock = Hex("01020304050607080909");  // one byte more than a block
const QMap<QString, Call> kCommands{
    {"version", [](auto& c, auto& d) { return c.blnReadBootVersion(2, d); }},
    {"reset", [](auto& c, auto&) { return c.blnResetPIC(); }},
    {"read program", [](auto& c, auto& d) { return c.blnReadProgram(4, kAt, d); }},
    {"read eeprom", [](auto& c, auto& d) { return c.blnReadEEPROM(2, kAt, d); }},
    {"read config", [](auto& c, auto& d) { return c.blnReadConfig(2, kAt, d); }},
    {"write program", [](auto& c, auto&) { return c.blnWriteProgram(1, kAt, kBlock); }},
    {"write eeprom", [](auto& c, auto&) { return c.blnWriteEEPROM(2, kAt, Hex("0f33")); }},
    {"write config", [](auto& c, auto&) { return c.blnWriteConfig(2, kAt, Hex("723f")); }},
    {"erase", [](auto& c, auto&) { return c.blnEraseProgram(2, kAt); }},
    {"erase none", [](auto& c, auto&) { return c.blnEraseProgram(0, kAt); }},
};
const QByteArray kUntouched("untouched");
const QString kClosed =
    QStringLiteral("msg Coms Port Closed: First open a specified Coms Port (x)");
const QString kGone =
    QStringLiteral("msg Kestrel: COM 1: not available. Change to another com port.");

// A link on Com 1 over the port and waits given, tracing its messages.
template <typename Port, typename LinkWaits>
struct LinkRig {
    LinkRig() { opened = link.OpenComPort(1); }

    bool opened = false;
    Trace trace;
    ScriptedPrompts prompts{trace};
    LinkWaits waits{trace};
    Port* port = new Port;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts, waits};
};
using FakeRig = LinkRig<FakeSerialPort, ScriptedWaits>;

struct RealWaits : EventLoopWaits {
    explicit RealWaits(Trace&) {}
};

bool Send(int fd, const QByteArray& bytes) {
    return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

// A pseudo-terminal whose slave is linked as Com 1; the test holds the master.
int OpenPty() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    grantpt(master);
    unlockpt(master);
    QFile::link(QString::fromLocal8Bit(ptsname(master)), PortPath::LinkPath(1));
    return master;
}

// The real adapter on the pseudo-terminal, the test the far end.
struct PtyRig {
    ~PtyRig() {
        if (master >= 0) ::close(master);
        QFile::remove(PortPath::LinkPath(1));
    }
    void HangUp() { ::close(std::exchange(master, -1)); }

    int master = OpenPty();
    LinkRig<QSerialPortAdapter, RealWaits> rig;
};

}  // namespace

class tst_Link : public QObject {
    Q_OBJECT
public:
    explicit tst_Link(TestEnvironment&) {}

private slots:
    // The link's own titles do not follow the executable's name.
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("renamed")); }

    void exchanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("request");  // the frame sent, where it matters
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("result");  // the data read, or the message shown
        const auto ok = [](const char* command, const char* request, const char* reply,
                           const char* data) {
            QTest::newRow(command) << command << Hex(request) << Hex(reply) << QString(data);
        };
        const auto bad = [](const char* name, const char* command, const char* reply,
                            const char* message) {
            QTest::newRow(name) << command << QByteArray() << Hex(reply)
                                << QStringLiteral("msg %1 (!)").arg(message);
        };
        ok("version", "0f0002ff04ff", "0f009903010463", "0301");
        ok("reset", "0f0000ff0401", "", "");
        ok("read program", "0f01050407200004d4", "0f010504072000ff3f0505050f0482", "ff3f050f");
        ok("read eeprom", "0f05040207200004d3", "0f050402072000050533049b", "0533");
        ok("read config", "0f010207200004d6", "0f0102072000723f0425", "723f");
        ok("write program", "0f02010720000102030504050506070804b2", "0f0204fe", "");
        ok("write eeprom", "0f050502072000050f330490", "0f050504fb", "");
        ok("write config", "0f0702072000723f041f", "0f0704f9", "");
        ok("erase", "0f0302072000000004d4", "0f0304fd", "");
        ok("erase none", "0f030007200004d6", "0f0304fd", "");
        const char* code = "Format Error: Invalid Command byte received";
        const char* etx = "Format Error: <ETX> character not present";
        bad("silent", "read eeprom", "",
            "No Response: No response received from bootloader firmware");
        bad("no start byte", "read eeprom", "100504020720001234048d",
            "Format Error: <STX> character not present");
        bad("start byte only", "read eeprom", "0f", code);
        bad("other command", "version", "0f019903010462", code);
        bad("escape before another code", "write eeprom", "0f050404fb", code);
        bad("cut after escaped code", "read eeprom", "0f0504", etx);
        bad("no end byte", "version", "0f0099030163", etx);
        bad("data checksum", "read eeprom", "0f0504020720001234048e",
            "Corrupt Data: In correct check sum value received");
        bad("one data byte short", "read eeprom", "0f0504020720001204c1",
            "Error: Incorrect requested number of data bytes received");
        bad("ack checksum", "write eeprom", "0f050504fa",
            "Corrupt Data: In correct check sum value returned");
    }
    // Bytes that came before the request never count; a peer that answered is not asked again,
    // a silent one five times, each time waited for a second after the frame's line time. On a
    // closed port nothing is sent.
    void exchanges() {
        QFETCH(QString, command);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, result);
        const Call call = kCommands[command];
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
        rig.trace.events.clear();
        rig.link.CloseComPort();
        const qsizetype writes = rig.port->writes.size();
        QVERIFY(!call(rig.link, out) && !rig.link.IsPortOpen() && !rig.port->IsOpen());
        QCOMPARE(rig.port->writes.size(), writes);
        QCOMPARE(rig.trace.events, QStringList{kClosed});
    }

    // The adapter pulled out, or the window closing, while a reply is awaited.
    void interruptedWait_data() {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QStringList>("trace");
        QTest::newRow("unplugged") << true << QStringList{kGone, kClosed};
        QTest::newRow("stopped") << false << QStringList{};
    }
    void interruptedWait() {
        QFETCH(bool, unplug);
        QFETCH(QStringList, trace);
        FakeRig rig;
        rig.link.SetTimeOutRetries(1);
        rig.waits.onReplyWait = [&] { unplug ? rig.port->Unplug() : rig.waits.Stop(); };
        QVERIFY(!rig.link.blnWriteEEPROM(2, kAt, Hex("0f33")));
        QCOMPARE(rig.link.IsPortOpen(), !unplug);
        rig.waits.Resume();
        rig.link.blnResetPIC();
        QCOMPARE(rig.port->writes.size(), unplug ? 1 : 2);
        QCOMPARE(rig.trace.events, trace);
    }

    // A port that cannot be opened leaves the link closed, whatever was open before; an
    // unplugged adapter's dangling entry is still its Com N.
    void failedOpen_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("no device") << 2 << "/dev/ttyS1";
        QTest::newRow("dangling entry") << 3 << PortPath::LinkPath(3);
    }
    void failedOpen() {
        QFETCH(int, port);
        QFETCH(QString, device);
        QFile::link(QStringLiteral("/nonexistent"), PortPath::LinkPath(3));
        FakeRig rig;
        rig.port->missingDevices << device;
        QVERIFY(!rig.link.OpenComPort(qint16(port)) && !rig.link.IsPortOpen());
        QVERIFY(!rig.link.blnResetPIC());
        QCOMPARE(rig.port->opened.last(), device);
        QCOMPARE(rig.trace.events,
                 (QStringList{QStringLiteral("msg Kestrel: COM %1: not available. Change to "
                                             "another com port.")
                                  .arg(port),
                              kClosed}));
    }

    // Over a real port: a reply that sat there before the request is not the reply, and the
    // wait lasts the interval after the frame's line time although the answer came at once.
    void ptyReplyAfterTheWait() {
        PtyRig pty;
        clsHexComm& link = pty.rig.link;
        QVERIFY(pty.rig.opened);
        link.SetTimeOutInterval(0.2F);
        const QByteArray request = Hex("0f0002ff04ff");
        QByteArray heard;
        QSocketNotifier notifier(pty.master, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char buffer[64];
            heard.append(buffer, std::max<ssize_t>(::read(pty.master, buffer, 64), 0));
            if (heard == request) Send(pty.master, Hex("0f009903010463"));
        });
        QVERIFY(Send(pty.master, Hex("0f009908070458")));
        QTest::qSleep(50);  // no events: it stays in the port, unseen by the link
        QElapsedTimer elapsed;
        elapsed.start();
        QByteArray version;
        QVERIFY(link.blnReadBootVersion(2, version));
        const auto took = std::chrono::nanoseconds(elapsed.nsecsElapsed());
        QCOMPARE(version, Hex("0301"));
        QVERIFY(pty.rig.trace.events.isEmpty());
        QVERIFY(took >= std::chrono::milliseconds(200) + Frame::LineTime(request.size()));
        QVERIFY(took < std::chrono::milliseconds(900));  // loosely: not the default second
    }

    // A hung-up peer ends the exchange at once with one message, and its errors do not keep
    // the process busy.
    void ptyPeerHangsUp_data() {
        QTest::addColumn<bool>("midExchange");
        QTest::newRow("while idle") << false;
        QTest::newRow("mid exchange") << true;
    }
    void ptyPeerHangsUp() {
        QFETCH(bool, midExchange);
        PtyRig pty;
        QVERIFY(pty.rig.opened && pty.rig.link.OpenComPort(1));  // again, while open
        pty.rig.link.SetTimeOutInterval(30.0F);
        pty.rig.link.SetTimeOutRetries(1);
        QTimer::singleShot(midExchange ? 50 : 0, this, [&pty] { pty.HangUp(); });
        const std::clock_t cpuBefore = std::clock();
        if (!midExchange) QVERIFY(pty.rig.waits.Delay(0.5F));
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!pty.rig.link.blnWriteProgram(1, {0x00, 0x02, 0x00}, kBlock));
        QVERIFY(elapsed.elapsed() < 10000);  // did not sit out the interval
        QVERIFY(!pty.rig.link.blnResetPIC());
        QCOMPARE(pty.rig.trace.events, (QStringList{kGone, kClosed}));
        QVERIFY(std::clock() - cpuBefore < CLOCKS_PER_SEC / 5);
    }
};

KESTREL_TEST_MAIN(tst_Link)
#include "tst_link.moc"
