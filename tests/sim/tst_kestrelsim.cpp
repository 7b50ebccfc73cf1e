#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "simsession.h"
#include "testmain.h"

// The simulator's protocol, memories, faults and lifecycle, over its pseudo-terminal.
class TestKestrelSim : public QObject {
    Q_OBJECT
public:
    explicit TestKestrelSim(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    // One whole session: a stale link is replaced and the ready line names the pseudo-terminal;
    // writes land where reads and the dump find them, as 14-bit words; refused, unknown and bad
    // frames get no reply and change nothing; the link goes on exit.
    void session() {
        const QString dump = m_environment.Root() + QStringLiteral("/dump.hex");
        QFile::remove(LinkPath());
        QVERIFY(QFile::link(QStringLiteral("/nonexistent"), LinkPath()));
        SimSession sim(LinkPath());
        QVERIFY(sim.Start({"--baud", "0", "--version", "2.5", "--dump", dump}));
        const QString target = QFileInfo(LinkPath()).symLinkTarget();
        QVERIFY(target.startsWith(QStringLiteral("/dev/pts/")));
        QCOMPARE(sim.Output(), QStringLiteral("ready %1\n").arg(target));
        const QByteArray eight = "0102030405060708";
        const struct {
            QByteArray frame, reply;
            const char* line;
        } steps[] = {
            {Build("02010001001122334455667788"), Hex("0F0204FE"),
             "write-flash 000100 8 bytes: ack"},
            {Build("0108000100"), Build("01080001001122330455267708"),
             "read-flash 000100 8 bytes: data"},
            {Build("05031021000F04AA"), Hex("0F050504FB"), "write-eeprom 002110 3 bytes: ack"},
            {Build("0403102100"), Build("04031021000F04AA"), "read-eeprom 002110 3 bytes: data"},
            {Build("0702072000723F"), Hex("0F0704F9"), "write-config 002007 2 bytes: ack"},
            {Build("0102072000"), Build("0102072000723F"), "read-config 002007 2 bytes: data"},
            {Build("030100010000"), Hex("0F0304FD"), "erase-flash 000100 1 blocks: ack"},
            {Build("0102000100"), Build("0102000100FF3F"), "read-flash 000100 2 bytes: data"},
            {Build("0201400100" + eight), Hex("0F0204FE"), "write-flash 000140 8 bytes: ack"},
            {Build("0201FF0000" + eight), {}, "write-flash 0000FF 8 bytes: refused"},
            {Build("0201FE1F00" + eight), {}, "write-flash 001FFE 8 bytes: refused"},
            {Build("0702062000723F"), {}, "write-config 002006 2 bytes: refused"},
            {Build("0600"), {}, "unknown command 06: no reply"},
            {Build("020100010001020304"), {}, "bad length for command 02"},
            {Hex("0F0002FF0400"), {}, "bad checksum: ignored"},
            {Hex("AA04") + Build("0002FF"), Hex("0F000205050204F7"), "read-version 2 bytes: v2.5"},
            {Build("0000FF"), {}, "reset"},
        };
        for (int i = 0; i < int(std::size(steps)); ++i) {
            QCOMPARE(sim.Ask(steps[i].frame, steps[i].reply.size()), steps[i].reply);
            const QString line = QStringLiteral("#%1 %2").arg(i + 1).arg(steps[i].line);
            QVERIFY2(sim.Output().contains(line), qPrintable(sim.Output()));
        }
        QVERIFY(sim.Terminate());
        QVERIFY(!QFileInfo::exists(LinkPath()) && !QFileInfo(LinkPath()).isSymLink());
        QFile file(dump);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(":020000040000FA\n"
                                            ":100280000102030405060708FF3FFF3FFF3FFF3F52\n"
                                            ":02400E00723FFF\n"
                                            ":104220000F000400AA00FF00FF00FF00FF00FF00D6\n"
                                            ":00000001FF\n"));
    }

    // Each fault hits the second reply only, unless every frame or a list is named.
    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        const QByteArray version = Build("0002FF");
        const QByteArray& good = kVersionReply;
        QTest::newRow("silent") << "silent@2" << version << good << QByteArray();
        QTest::newRow("bad checksum")
            << "bad-checksum@2" << version << good << Hex("0F0002000104FE");
        QTest::newRow("wrong command")
            << "wrong-command@2" << version << good << Hex("0F80020001047D");
        QTest::newRow("no end") << "no-end@2" << version << good << Hex("0F00020001FD");
        QTest::newRow("cut") << "cut@2" << version << good << Hex("0F00");
        QTest::newRow("short data") << "short-data@2" << version << good << Hex("0F00020004FE");
        QTest::newRow("cut, escaped code")
            << "cut@2" << Build("0401002100") << Build("0401002100FF") << Hex("0F0504");
        QTest::newRow("short data leaves an ack")
            << "short-data@2" << Build("0501002100AA") << Hex("0F050504FB") << Hex("0F050504FB");
        QTest::newRow("every frame") << "cut" << version << Hex("0F00") << Hex("0F00");
        QTest::newRow("listed frames") << "cut@1,2" << version << Hex("0F00") << Hex("0F00");
    }
    void faults() {
        QFETCH(QString, fault);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        SimSession sim(LinkPath());
        QVERIFY(sim.Start({"--baud", "0", "--fault", fault}));
        QCOMPARE(sim.Ask(frame, first.size()), first);
        QCOMPARE(sim.Ask(frame, second.size()), second);
    }

    // The adapter comes out once frame 2 has had its whole reply, without waiting for more.
    void unplug() {
        const QString dump = m_environment.Root() + QStringLiteral("/unplug.hex");
        SimSession sim(LinkPath());
        QVERIFY(sim.Start({"--fault", "unplug@2", "--dump", dump}));
        QCOMPARE(sim.Ask(Build("0002FF"), kVersionReply.size()), kVersionReply);
        QCOMPARE(sim.Ask(Build("0002FF"), kVersionReply.size()), kVersionReply);
        QTRY_COMPARE_WITH_TIMEOUT(sim.process.state(), QProcess::NotRunning, 10000);
        QCOMPARE(sim.process.exitCode(), 0);
        QVERIFY(sim.Output().endsWith(QStringLiteral("unplugged\n")));
        QVERIFY(!QFileInfo(LinkPath()).isSymLink());
        QVERIFY(QFileInfo::exists(dump));
        QTRY_VERIFY(sim.hungUp);
    }

    void badOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown fault") << QStringList{"--fault", "smoke"};
        QTest::newRow("unplug without a frame") << QStringList{"--fault", "unplug"};
        QTest::newRow("version without minor") << QStringList{"--version", "1"};
        QTest::newRow("com and link") << QStringList{"--com", "2"};
    }
    void badOptions() {
        QFETCH(QStringList, arguments);
        SimSession sim(LinkPath());
        QVERIFY(!sim.Start(arguments));
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(!QFileInfo(LinkPath()).isSymLink());
    }

private:
    QString LinkPath() const { return m_environment.PortLinkFolder() + QStringLiteral("/com1"); }

    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(TestKestrelSim)
#include "tst_kestrelsim.moc"
