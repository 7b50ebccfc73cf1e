#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "framecodec.h"
#include "simsession.h"
#include "testmain.h"

using namespace std::chrono_literals;

namespace {
QByteArray Hex(const QByteArray& text) {
    return QByteArray::fromHex(text);
}
QByteArray Build(const QByteArray& payload) {
    return Frame::Build(Hex(payload));
}
}  // namespace

// The simulator's protocol, memories, faults and lifecycle, over its pseudo-terminal.
class TestKestrelSim : public QObject {
    Q_OBJECT
public:
    explicit TestKestrelSim(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void versionReply_data();
    void versionReply();
    void requests_data();
    void requests();
    void memoryRoundTrip();
    void faults_data();
    void faults();
    void unplug_data();
    void unplug();
    void badOptions_data();
    void badOptions();

private:
    QString LinkPath() const { return m_environment.PortLinkFolder() + QStringLiteral("/com1"); }

    TestEnvironment& m_environment;
};

void TestKestrelSim::versionReply_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("default 1.0") << QStringList{} << Hex("0F0002000104FD");
    QTest::newRow("2.5, escaped") << QStringList{"--version", "2.5"} << Hex("0F000205050204F7");
}

void TestKestrelSim::versionReply() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, reply);
    // A stale link from an earlier run is replaced.
    QFile::remove(LinkPath());
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), LinkPath()));
    {
        SimSession sim(LinkPath());
        QVERIFY(sim.Start(arguments));
        const QString target = QFileInfo(LinkPath()).symLinkTarget();
        QCOMPARE(sim.Output(), QStringLiteral("ready %1\n").arg(target));
        QVERIFY(target.startsWith(QStringLiteral("/dev/pts/")));
        QCOMPARE(sim.Ask(Build("0002FF"), reply.size()), reply);
        QVERIFY(sim.Terminate());
    }
    QVERIFY(!QFileInfo::exists(LinkPath()) && !QFileInfo(LinkPath()).isSymLink());
}

void TestKestrelSim::requests_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("line");
    const QByteArray eight = "0102030405060708";
    QTest::newRow("write flash") << Build("0201000100" + eight) << Hex("0F0204FE")
                                 << "#1 write-flash 000100 8 bytes: ack";
    QTest::newRow("write flash into the bootloader")
        << Build("0201FF0000" + eight) << QByteArray() << "#1 write-flash 0000FF 8 bytes: refused";
    QTest::newRow("write flash past the end")
        << Build("0201FE1F00" + eight) << QByteArray() << "#1 write-flash 001FFE 8 bytes: refused";
    QTest::newRow("write EEPROM") << Hex("0F050502002100050F330496") << Hex("0F050504FB")
                                  << "#1 write-eeprom 002100 2 bytes: ack";
    QTest::newRow("erase") << Build("030100020000") << Hex("0F0304FD")
                           << "#1 erase-flash 000200 1 blocks: ack";
    QTest::newRow("write config") << Build("0702072000723F") << Hex("0F0704F9")
                                  << "#1 write-config 002007 2 bytes: ack";
    QTest::newRow("write device ID")
        << Build("0702062000723F") << QByteArray() << "#1 write-config 002006 2 bytes: refused";
    QTest::newRow("reset") << Build("0000FF") << QByteArray() << "#1 reset";
    QTest::newRow("unknown command")
        << Build("0600") << QByteArray() << "#1 unknown command 06: no reply";
    QTest::newRow("write with data missing")
        << Build("020100010001020304") << QByteArray() << "#1 bad length for command 02";
    QTest::newRow("bad checksum") << Hex("0F0002FF0400") << QByteArray()
                                  << "#1 bad checksum: ignored";
    QTest::newRow("noise before the start byte")
        << Hex("AA04") + Build("0002FF") << Hex("0F0002000104FD") << "#1 read-version";
}

void TestKestrelSim::requests() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, reply);
    QFETCH(QString, line);
    SimSession sim(LinkPath());
    QVERIFY(sim.Start({"--baud", "0"}));
    QCOMPARE(sim.Ask(frame, reply.size()), reply);
    QVERIFY2(sim.Output().contains(line), qPrintable(sim.Output()));
}

// Writes land where reads and the dump find them, as 14-bit words.
void TestKestrelSim::memoryRoundTrip() {
    const QString dump = m_environment.Root() + QStringLiteral("/dump.hex");
    SimSession sim(LinkPath());
    QVERIFY(sim.Start({"--dump", dump}));
    const auto ask = [&](const char* payload, const QByteArray& reply) {
        return sim.Ask(Build(payload), reply.size()) == reply;
    };
    QVERIFY(ask("02010001001122334455667788", Hex("0F0204FE")));
    QVERIFY(ask("0108000100", Build("01080001001122330455267708")));
    QVERIFY(ask("05031021000F04AA", Hex("0F050504FB")));
    QVERIFY(ask("0403102100", Build("04031021000F04AA")));
    QVERIFY(ask("0702072000723F", Hex("0F0704F9")));
    QVERIFY(ask("0102072000", Build("0102072000723F")));
    QVERIFY(ask("030100010000", Hex("0F0304FD")));
    QVERIFY(ask("0102000100", Build("0102000100FF3F")));
    QVERIFY(ask("02014001000102030405060708", Hex("0F0204FE")));
    QVERIFY(sim.Terminate());
    QFile file(dump);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(":020000040000FA\n"
                                        ":100280000102030405060708FF3FFF3FFF3FFF3F52\n"
                                        ":02400E00723FFF\n"
                                        ":104220000F000400AA00FF00FF00FF00FF00FF00D6\n"
                                        ":00000001FF\n"));
}

void TestKestrelSim::faults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    const QByteArray version = Build("0002FF");
    const QByteArray good = Hex("0F0002000104FD");
    QTest::newRow("silent") << "silent@2" << version << good << QByteArray();
    QTest::newRow("bad checksum") << "bad-checksum@2" << version << good << Hex("0F0002000104FE");
    QTest::newRow("wrong command") << "wrong-command@2" << version << good << Hex("0F80020001047D");
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

void TestKestrelSim::faults() {
    QFETCH(QString, fault);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    SimSession sim(LinkPath());
    QVERIFY(sim.Start({"--baud", "0", "--fault", fault}));
    QCOMPARE(sim.Ask(frame, first.size()), first);
    QCOMPARE(sim.Ask(frame, second.size()), second);
}

void TestKestrelSim::unplug_data() {
    QTest::addColumn<bool>("nextRequest");
    QTest::newRow("as the next request starts") << true;
    QTest::newRow("idle after the last reply") << false;
}

// The adapter comes out after frame 2 has had its whole reply.
void TestKestrelSim::unplug() {
    QFETCH(bool, nextRequest);
    const QString dump = m_environment.Root() + QStringLiteral("/unplug.hex");
    SimSession sim(LinkPath());
    QVERIFY(sim.Start({"--fault", "unplug@2", "--dump", dump}));
    const QByteArray reply = Hex("0F0002000104FD");
    QCOMPARE(sim.Ask(Build("0002FF"), reply.size()), reply);
    QCOMPARE(sim.Ask(Build("0002FF"), reply.size()), reply);
    if (nextRequest) sim.Write(Build("0002FF"));
    QVERIFY(sim.WaitFor([&] { return sim.Process().state() == QProcess::NotRunning; }, 10s));
    QCOMPARE(sim.Process().exitCode(), 0);
    QVERIFY(sim.Output().endsWith(QStringLiteral("unplugged\n")));
    QVERIFY(!QFileInfo(LinkPath()).isSymLink());
    QVERIFY(QFileInfo::exists(dump));
    QVERIFY(sim.WaitFor([&] { return sim.HungUp(); }, 5s));
}

void TestKestrelSim::badOptions_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown fault") << QStringList{"--fault", "smoke"};
    QTest::newRow("unplug without a frame") << QStringList{"--fault", "unplug"};
    QTest::newRow("version without minor") << QStringList{"--version", "1"};
    QTest::newRow("com and link") << QStringList{"--com", "2"};
}

void TestKestrelSim::badOptions() {
    QFETCH(QStringList, arguments);
    SimSession sim(LinkPath());
    QVERIFY(!sim.Start(arguments));
    QCOMPARE(sim.Process().exitCode(), 2);
    QVERIFY(!QFileInfo(LinkPath()).isSymLink());
}

KESTREL_TEST_MAIN(TestKestrelSim)
#include "tst_kestrelsim.moc"
