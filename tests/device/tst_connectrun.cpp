#include <QTest>

#include "connectcommand.h"
#include "delay.h"
#include "devicerig.h"
#include "portmap.h"
#include "testmain.h"

class tst_ConnectRun : public QObject {
    Q_OBJECT
public:
    explicit tst_ConnectRun(TestEnvironment&) {}

private slots:
    void init() { m_rig = std::make_unique<DeviceRig>(); }
    void cleanup() { modGeneral::ResumeWaiting(); }

    void connects() {
        m_rig->version = QByteArray("\x0C\xFF");  // byte 1 first, both decimal and unsigned
        ConnectToPIC(m_rig->context);
        QCOMPARE(m_rig->host.panelLog, QStringList({"Status=Connecting to PIC...",
                                                    "BootCodeVersion=v255.12", "Status="}));
        QCOMPARE(m_rig->host.enableCalls,
                 QList<Groups>({{false, true, true, false, true, false, true}}));
        QCOMPARE(m_rig->Messages(), QStringList());
        QCOMPARE(m_rig->frames, QStringList{"V0 0.2"});
    }

    void connectFails_data() {
        QTest::addColumn<bool>("portMissing");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("frames");
        QTest::newRow("silent") << false << QStringList{"No Response"} << 3;
        QTest::newRow("no port") << true << QStringList{"Kestrel", "Coms Port Closed"} << 0;
    }
    void connectFails() {
        QFETCH(bool, portMissing);
        QFETCH(QStringList, titles);
        QFETCH(int, frames);
        m_rig->version.clear();
        if (portMissing) m_rig->port->missingDevices.insert(PortMap::DeviceName(1));
        m_rig->host.panels[PanelKey::kBootCodeVersion] = QStringLiteral("v9.9");
        ConnectToPIC(m_rig->context);
        QCOMPARE(m_rig->host.panelLog, QStringList({"Status=Connecting to PIC...", "Status="}));
        QCOMPARE(m_rig->host.PanelText(PanelKey::kBootCodeVersion), QStringLiteral("v9.9"));
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>());
        QCOMPARE(m_rig->prompts.Titles(), titles);
        QCOMPARE(m_rig->frames.size(), frames);
    }

    void stopWhileConnecting() {
        m_rig->onRequest = [] { modGeneral::StopWaiting(); };
        ConnectToPIC(m_rig->context);
        QCOMPARE(m_rig->host.panelLog, QStringList({"Status=Connecting to PIC..."}));
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>());
    }

    void runs() {
        m_rig->link.OpenComPort(1);
        RunPIC(m_rig->context);
        QCOMPARE(m_rig->Messages(), QStringList());
        QCOMPARE(m_rig->host.enableCalls,
                 QList<Groups>({{false, true, true, false, false, false, true}}));
        QCOMPARE(m_rig->port->writes, QList<QByteArray>{QByteArray::fromHex("0F0000FF0401")});
    }

    void runFails() {
        RunPIC(m_rig->context);
        QCOMPARE(m_rig->Messages(),
                 QStringList({"First open a specified Coms Port|Coms Port Closed",
                              "Unable to reset PIC proccessor|Kestrel"}));
        QCOMPARE(m_rig->prompts.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>());
        QVERIFY(m_rig->port->writes.isEmpty());
    }

private:
    std::unique_ptr<DeviceRig> m_rig;
};

KESTREL_TEST_MAIN(tst_ConnectRun)
#include "tst_connectrun.moc"
