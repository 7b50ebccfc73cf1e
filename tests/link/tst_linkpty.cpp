#include <sys/resource.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include "clshexcomm.h"
#include "delay.h"
#include "framecodec.h"
#include "ptypeer.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "testmain.h"

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

std::chrono::microseconds CpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto toUs = [](const timeval& time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
    };
    return toUs(usage.ru_utime) + toUs(usage.ru_stime);
}

// The real adapter on the slave of a pseudo-terminal linked as Com 1.
struct PtyRig {
    PtyRig()
        : adapter(new QSerialPortAdapter), link(std::unique_ptr<SerialPort>(adapter), prompts) {}
    bool Open() { return peer.IsValid() && peer.LinkAsCom(1) && link.OpenComPort(1); }

    PtyPeer peer;
    ScriptedPrompts prompts;
    QSerialPortAdapter* adapter;
    clsHexComm link;
};

}  // namespace

class tst_LinkPty : public QObject {
    Q_OBJECT
public:
    explicit tst_LinkPty(TestEnvironment&) {}

private slots:
    void openReopenAndMissingDevice() {
        PtyRig rig;
        QVERIFY(rig.Open());
        QVERIFY(rig.link.OpenComPort(1));
        QVERIFY(rig.link.IsPortOpen());

        QVERIFY(!rig.link.OpenComPort(9999));
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(!rig.adapter->IsOpen());
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text,
                 QStringLiteral("COM 9999: not available. Change to another com port."));
        QCOMPARE(rig.prompts.messages[0].title, QStringLiteral("Kestrel"));
        QCOMPARE(rig.prompts.messages[0].icon, MsgIcon::None);
        QVERIFY(rig.link.OpenComPort(1));
        rig.link.CloseComPort();
        rig.link.CloseComPort();
        QVERIFY(!rig.link.IsPortOpen());
        QCOMPARE(rig.prompts.messages.size(), 1);
    }

    void everyByteKeptInOrder() {
        PtyRig rig;
        QVERIFY(rig.Open());
        const QByteArray bytes("\x00\x0f\x00\x04\r\n\xff\x00", 8);
        QVERIFY(rig.peer.Write(bytes));
        QVERIFY(modGeneral::Delay(0.2F));
        QCOMPARE(rig.link.strReceived().toHex(' '), bytes.toHex(' '));
    }

    void staleInputDiscardedBeforeSending() {
        PtyRig rig;
        QVERIFY(rig.Open());
        rig.link.SetTimeOutInterval(0.1F);
        rig.link.SetTimeOutRetries(1);
        const QByteArray expected = Frame::Build(Hex("0002ff"));
        QByteArray request;
        QSocketNotifier notifier(rig.peer.MasterFd(), QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            request += rig.peer.ReadAvailable();
            if (request == expected) rig.peer.Write(Frame::Build(Hex("00990301")));
        });
        QVERIFY(rig.peer.Write(Frame::Build(Hex("00990807"))));
        // No events may run here: the stale reply must sit in the port, unseen by the link.
        QTest::qSleep(50);
        QByteArray version;
        QVERIFY(rig.link.blnReadBootVersion(2, version));
        QCOMPARE(version, Hex("0301"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void peerHangsUpMidExchange() {
        PtyRig rig;
        QVERIFY(rig.Open());
        rig.link.SetTimeOutInterval(30.0F);
        QTimer::singleShot(50, this, [&rig] { rig.peer.CloseMaster(); });
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!rig.link.blnWriteProgram(1, {0x00, 0x02, 0x00}, QByteArray(8, '\x04')));
        QVERIFY(elapsed.elapsed() < 10000);  // did not sit out the interval
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(!rig.link.blnResetPIC());
        QCOMPARE(rig.prompts.Titles(),
                 (QStringList{QStringLiteral("Kestrel"), QStringLiteral("Coms Port Closed")}));
    }

    void peerHangsUpWhileIdle() {
        PtyRig rig;
        QVERIFY(rig.Open());
        QSignalSpy gone(rig.adapter, &SerialPort::Gone);
        rig.peer.CloseMaster();
        // A dead device must not keep the process busy with its errors.
        const auto cpuBefore = CpuTime();
        QVERIFY(modGeneral::Delay(0.5F));
        QVERIFY(CpuTime() - cpuBefore < std::chrono::milliseconds(200));
        QCOMPARE(gone.size(), 1);

        QVERIFY(!rig.link.blnResetPIC());
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text,
                 QStringLiteral("COM 1: not available. Change to another com port."));
        QVERIFY(!rig.link.IsPortOpen());
    }
};

KESTREL_TEST_MAIN(tst_LinkPty)
#include "tst_linkpty.moc"
