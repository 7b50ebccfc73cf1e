#include <QTest>

#include "modconverthexfile.h"
#include "raisederror.h"
#include "testmain.h"

using namespace modConvertHexFile;

// Messages in check order are covered through the import; these are the checker's own edges.
class TestConvertHexFile : public QObject {
    Q_OBJECT
public:
    explicit TestConvertHexFile(TestEnvironment&) {}

private slots:
    void lineCheck_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("message");  // empty: passes; "raise": raises
        QTest::newRow("lower case") << QByteArray(":04000000aabbccddee") << QString();
        QTest::newRow("255 bytes") << ":FF000000" + QByteArray(510, 'F') + "00" << QString();
        QTest::newRow("short") << QByteArray(":00")
                               << "Number of data bytes not equal to line byte counter";
        QTest::newRow("count read before colon") << QByteArray("XZZ00000001020304F2") << "raise";
        QTest::newRow("data not hex") << QByteArray(":04000000010203G4F2") << "raise";
        QTest::newRow("sum not hex") << QByteArray(":0400000001020304F-") << "raise";
        QTest::newRow("empty") << QByteArray() << "raise";
    }
    void lineCheck() {
        QFETCH(QByteArray, line);
        QFETCH(QString, message);
        QString returned;
        try {
            QCOMPARE(blnHexLineError(line, returned), !message.isEmpty());
            QCOMPARE(returned, message);
        } catch (const RaisedError&) {
            QCOMPARE(message, "raise");
        }
    }

    // The line offset is a 16-bit count, so it raises rather than turn negative.
    void eepromOffsetOverflow() {
        ResetEEPROMLine();
        intEEPROMAddress = INT16_MAX - 15;
        ConvertEEPROMLine(":024200000100BB");
        QCOMPARE(strEEPROMLine, "F0,21,00,01");
        QVERIFY_THROWS_EXCEPTION(RaisedError, ConvertEEPROMLine(":024200000100BB"));
    }
};

KESTREL_TEST_MAIN(TestConvertHexFile)
#include "tst_modconverthexfile.moc"
