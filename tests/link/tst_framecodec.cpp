#include <QTest>

#include "framecodec.h"
#include "testmain.h"

class tst_FrameCodec : public QObject {
    Q_OBJECT
public:
    explicit tst_FrameCodec(TestEnvironment&) {}

private slots:
    void frames_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("reset") << QByteArray("0000ff") << QByteArray("0f0000ff0401");
        QTest::newRow("eeprom write")
            << QByteArray("05020021000f33") << QByteArray("0f050502002100050f330496");
        QTest::newRow("control bytes escaped")
            << QByteArray("04050f10") << QByteArray("0f05040505050f1004d8");
        QTest::newRow("checksum 04 bare") << QByteArray("fc") << QByteArray("0ffc0404");
        QTest::newRow("checksum 05 bare") << QByteArray("fb") << QByteArray("0ffb0405");
        QTest::newRow("checksum 0f bare") << QByteArray("f1") << QByteArray("0ff1040f");
        QTest::newRow("sum wraps") << QByteArray("0002ff") << QByteArray("0f0002ff04ff");
    }
    void frames() {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(Frame::Build(QByteArray::fromHex(payload)).toHex(), frame);
    }

    void onlyControlBytesEscaped() {
        for (int value = 0; value < 256; ++value) {
            QByteArray payload(1, char(value));
            Frame::AddEscapeBytes(payload);
            const bool control = value == 0x04 || value == 0x05 || value == 0x0F;
            QCOMPARE(payload,
                     control ? "\x05" + QByteArray(1, char(value)) : QByteArray(1, char(value)));
        }
    }
};

KESTREL_TEST_MAIN(tst_FrameCodec)
#include "tst_framecodec.moc"
