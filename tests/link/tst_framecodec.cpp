#include <QTest>

#include "framecodec.h"
#include "testmain.h"

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

}  // namespace

class tst_FrameCodec : public QObject {
    Q_OBJECT
public:
    explicit tst_FrameCodec(TestEnvironment&) {}

private slots:
    void frames_data() {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("reset") << Hex("0000ff") << Hex("0f0000ff0401");
        QTest::newRow("eeprom write") << Hex("05020021000f33") << Hex("0f050502002100050f330496");
        QTest::newRow("control bytes escaped") << Hex("04050f10") << Hex("0f05040505050f1004d8");
        QTest::newRow("checksum 04 bare") << Hex("fc") << Hex("0ffc0404");
        QTest::newRow("checksum 05 bare") << Hex("fb") << Hex("0ffb0405");
        QTest::newRow("checksum 0f bare") << Hex("f1") << Hex("0ff1040f");
        QTest::newRow("sum wraps") << Hex("0002ff") << Hex("0f0002ff04ff");
        QTest::newRow("single byte") << Hex("02") << Hex("0f0204fe");
    }
    void frames() {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(Frame::Build(payload).toHex(' '), frame.toHex(' '));
        quint8 sum = Frame::CalcCheckSum(payload);
        for (const char byte : payload) sum += quint8(byte);
        QCOMPARE(sum, quint8(0));
    }

    void onlyControlBytesEscaped() {
        for (int value = 0; value < 256; ++value) {
            QByteArray payload(1, char(value));
            Frame::AddEscapeBytes(payload);
            const bool control = value == 0x04 || value == 0x05 || value == 0x0F;
            QCOMPARE(payload,
                     control ? QByteArray("\x05") + char(value) : QByteArray(1, char(value)));
        }
    }

    void unpack_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("checksum");
        QTest::newRow("eeprom ack, escaped code") << Hex("0f050504fb") << Hex("05") << 0xFB;
        QTest::newRow("read eeprom, escaped data")
            << Hex("0f05040200210005053304a1") << Hex("04020021000533") << 0xA1;
        QTest::newRow("version") << Hex("0f0002000104fd") << Hex("00020001") << 0xFD;
        QTest::newRow("cut after command") << Hex("0f01") << QByteArray() << 0x01;
    }
    void unpack() {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, payload);
        QFETCH(int, checksum);
        QByteArray unpacked;
        quint8 received = 0;
        Frame::UnpackReply(reply, unpacked, received);
        QCOMPARE(unpacked.toHex(' '), payload.toHex(' '));
        QCOMPARE(int(received), checksum);
    }
};

KESTREL_TEST_MAIN(tst_FrameCodec)
#include "tst_framecodec.moc"
