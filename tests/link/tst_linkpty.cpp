#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "clshexcomm.h"
#include "delay.h"
#include "framecodec.h"
#include "portmap.h"
#include "qserialportadapter.h"
#include "scriptedprompts.h"
#include "testmain.h"

namespace {

// The real adapter on the slave of a pseudo-terminal linked as Com 1; the test holds the master.
struct PtyRig {
    PtyRig()
        : adapter(new QSerialPortAdapter), link(std::unique_ptr<SerialPort>(adapter), prompts) {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        const QString com1 = PortMap::LinkFolder() + QStringLiteral("/com1");
        QDir().mkpath(PortMap::LinkFolder());
        QFile::remove(com1);
        opened = QFile::link(QString::fromLocal8Bit(ptsname(master)), com1) && link.OpenComPort(1);
    }
    ~PtyRig() { HangUp(); }
    void HangUp() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    bool Write(const QByteArray& bytes) const {
        return ::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    int master = -1;
    bool opened = false;
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
    // Bytes that arrived unasked, read by the link or still in the port, never count as a reply.
    void staleInputDiscarded() {
        PtyRig rig;
        QVERIFY(rig.opened && rig.link.OpenComPort(1));  // again, while open
        rig.link.SetTimeOutInterval(0.1F);
        rig.link.SetTimeOutRetries(1);
        const QByteArray raw("\x00\x0f\x00\x04\r\n\xff\x00", 8);
        QVERIFY(rig.Write(raw));
        QTRY_COMPARE(rig.link.strReceived().toHex(' '), raw.toHex(' '));

        const QByteArray request = Frame::Build(QByteArray::fromHex("0002ff"));
        QByteArray received;
        QSocketNotifier notifier(rig.master, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            char buffer[64];
            received.append(buffer, std::max<ssize_t>(::read(rig.master, buffer, 64), 0));
            if (received == request) rig.Write(Frame::Build(QByteArray::fromHex("00990301")));
        });
        QVERIFY(rig.Write(Frame::Build(QByteArray::fromHex("00990807"))));
        QTest::qSleep(50);  // no events: this one stays in the port, unseen by the link
        QByteArray version;
        QVERIFY(rig.link.blnReadBootVersion(2, version));
        QCOMPARE(version, QByteArray::fromHex("0301"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    // The adapter is pulled out: the exchange in progress ends at once, and a dead device does
    // not keep the process busy with its errors.
    void peerHangsUp_data() {
        QTest::addColumn<bool>("midExchange");
        QTest::newRow("while idle") << false;
        QTest::newRow("mid exchange") << true;
    }
    void peerHangsUp() {
        QFETCH(bool, midExchange);
        PtyRig rig;
        QVERIFY(rig.opened);
        rig.link.SetTimeOutInterval(30.0F);
        if (midExchange) {
            QTimer::singleShot(50, this, [&rig] { rig.HangUp(); });
        } else {
            QSignalSpy gone(rig.adapter, &SerialPort::Gone);
            rig.HangUp();
            const std::clock_t cpuBefore = std::clock();
            QVERIFY(modGeneral::Delay(0.5F));
            QVERIFY(std::clock() - cpuBefore < CLOCKS_PER_SEC / 5);
            QCOMPARE(gone.size(), 1);
        }
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!rig.link.blnWriteProgram(1, {0x00, 0x02, 0x00}, QByteArray(8, '\x04')));
        QVERIFY(elapsed.elapsed() < 10000);  // did not sit out the interval
        QVERIFY(!rig.link.IsPortOpen());
        QVERIFY(!rig.link.blnResetPIC());
        QCOMPARE(rig.prompts.Titles(),
                 (QStringList{QStringLiteral("Kestrel"), QStringLiteral("Coms Port Closed")}));
        QCOMPARE(rig.prompts.messages[0].text,
                 QStringLiteral("COM 1: not available. Change to another com port."));
        QCOMPARE(rig.prompts.messages[0].icon, MsgIcon::None);
    }
};

KESTREL_TEST_MAIN(tst_LinkPty)
#include "tst_linkpty.moc"
