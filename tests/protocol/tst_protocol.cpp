#include <QFile>
#include <QTest>

#include "framecodec.h"
#include "portpath.h"
#include "testmain.h"

class tst_Protocol : public QObject {
    Q_OBJECT
public:
    explicit tst_Protocol(TestEnvironment& environment) : m_environment(environment) {}

private slots:
    void frames_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("whole");  // as Build makes it; else a damaged reply
        QTest::newRow("reset") << Hex("0000ff") << Hex("0f0000ff0401") << true;
        QTest::newRow("sum wraps") << Hex("0002ff") << Hex("0f0002ff04ff") << true;
        QTest::newRow("eeprom write")
            << Hex("05020021000f33") << Hex("0f050502002100050f330496") << true;
        QTest::newRow("control bytes")
            << Hex("04050f1003") << Hex("0f05040505050f100304d5") << true;
        QTest::newRow("checksum 04 bare") << Hex("fc") << Hex("0ffc0404") << true;
        QTest::newRow("checksum 05 bare") << Hex("fb") << Hex("0ffb0405") << true;
        QTest::newRow("checksum 0f bare") << Hex("f1") << Hex("0ff1040f") << true;
        QTest::newRow("escape before the end") << Hex("00") << Hex("0f00050404") << false;
        QTest::newRow("cut after command") << QByteArray() << Hex("0f0504") << false;
    }
    void frames() {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QFETCH(bool, whole);
        if (whole) QCOMPARE(Frame::Build(payload).toHex(), frame.toHex());
        QByteArray unpacked = "stale";
        quint8 checksum = 0;
        Frame::UnpackReply(frame, unpacked, checksum);
        QCOMPARE(unpacked.toHex(), payload.toHex());
        QCOMPARE(checksum, quint8(frame.back()));
    }

    void lineTime() {
        QCOMPARE(Frame::LineTime(1).count(), 1'041'666);
        QCOMPARE(Frame::LineTime(72).count(), 75'000'000);
    }

    // Com N is the ports folder's entry when there is one.
    void portPath_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("target");  // of the entry; none when empty
        QTest::newRow("entry") << 2 << "/dev/null";
        QTest::newRow("no entry") << 3 << QString();
        QTest::newRow("dangling entry") << 4 << "/nonexistent";
    }
    void portPath() {
        QFETCH(int, port);
        QFETCH(QString, target);
        const QString entry = m_environment.PortLinkFolder() + QStringLiteral("/com%1").arg(port);
        QCOMPARE(PortPath::LinkPath(port), entry);
        if (!target.isEmpty()) QVERIFY(QFile::link(target, entry));
        QCOMPARE(PortPath::DeviceName(port),
                 target.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(port - 1) : entry);
    }

private:
    TestEnvironment& m_environment;
};

KESTREL_TEST_MAIN(tst_Protocol)
#include "tst_protocol.moc"
