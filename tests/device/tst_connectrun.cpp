#include <QTest>

#include "connectcommand.h"
#include "delay.h"
#include "devicerig.h"
#include "portmap.h"
#include "testmain.h"

using Groups = FakeHost::Groups;

class tst_ConnectRun : public QObject {
    Q_OBJECT
public:
    explicit tst_ConnectRun(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void init() { m_rig = std::make_unique<DeviceRig>(m_environment.ProgramFolder()); }
    void cleanup() { modGeneral::ResumeWaiting(); }

    void connects_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.5") << QByteArray("\x05\x01") << "v1.5";
        QTest::newRow("0.0") << QByteArray(2, '\0') << "v0.0";
        QTest::newRow("255.255") << QByteArray("\xFF\xFF") << "v255.255";
        QTest::newRow("2.12") << QByteArray("\x0C\x02") << "v2.12";
    }
    void connects() {
        QFETCH(QByteArray, version);
        QFETCH(QString, text);
        m_rig->version = version;
        ConnectToPIC(m_rig->context);
        QCOMPARE(m_rig->host.panelLog, QStringList({"Status=Connecting to PIC...",
                                                    "BootCodeVersion=" + text, "Status="}));
        QCOMPARE(m_rig->host.enableCalls,
                 QList<Groups>({{false, true, true, false, true, false, true}}));
        QCOMPARE(m_rig->Messages(), QStringList());
        QCOMPARE(m_rig->requests.size(), 1);
        QCOMPARE(m_rig->requests[0].interval, 0.2F);
        QCOMPARE(m_rig->requests[0].retries, qint16(3));
        QVERIFY(m_rig->link.IsPortOpen());
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
        QCOMPARE(m_rig->requests.size(), frames);
    }

    void stopWhileConnecting() {
        m_rig->onRequest = [] { modGeneral::StopWaiting(); };
        ConnectToPIC(m_rig->context);
        QCOMPARE(m_rig->host.panelLog, QStringList({"Status=Connecting to PIC..."}));
        QCOMPARE(m_rig->host.enableCalls, QList<Groups>());
    }

    void run_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<Groups>>("enableCalls");
        QTest::newRow("open") << true << QStringList()
                              << QList<Groups>({{false, true, true, false, false, false, true}});
        QTest::newRow("closed") << false
                                << QStringList({"First open a specified Coms Port|Coms Port Closed",
                                                "Unable to reset PIC proccessor|Kestrel"})
                                << QList<Groups>();
    }
    void run() {
        QFETCH(bool, open);
        QFETCH(QStringList, messages);
        QFETCH(QList<Groups>, enableCalls);
        if (open) m_rig->link.OpenComPort(1);
        RunPIC(m_rig->context);
        QCOMPARE(m_rig->Messages(), messages);
        QCOMPARE(m_rig->host.enableCalls, enableCalls);
        if (!messages.isEmpty()) QCOMPARE(m_rig->prompts.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(m_rig->port->writes, open ? QList<QByteArray>{QByteArray::fromHex("0F0000FF0401")}
                                           : QList<QByteArray>());
    }

private:
    TestEnvironment& m_environment;
    std::unique_ptr<DeviceRig> m_rig;
};

KESTREL_TEST_MAIN(tst_ConnectRun)
#include "tst_connectrun.moc"
