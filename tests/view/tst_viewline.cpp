#include <QTest>

#include "testmain.h"
#include "viewline.h"

class tst_ViewLine : public QObject {
    Q_OBJECT
public:
    explicit tst_ViewLine(TestEnvironment&) {}

private slots:
    void strConvertViewLine_data();
    void strConvertViewLine();
};

void tst_ViewLine::strConvertViewLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("flash words, high byte first") << "08,00,00,83,16,03,13"
                                                  << "000008   1683   1303";
    QTest::newRow("EEPROM bytes in pairs") << "00,21,00,11,22,33,44"
                                           << "002100   2211   4433";
    QTest::newRow("user ID") << "00,20,00,0A,0B,0C,0D"
                             << "002000   0B0A   0D0C";
    QTest::newRow("address only") << "07,20,00"
                                  << "002007";
    QTest::newRow("odd count: last byte alone") << "00,20,00,0A,0B,0C"
                                                << "002000   0B0A   0C";
    QTest::newRow("single data byte") << "00,20,00,0A"
                                      << "002000   0A";
    QTest::newRow("letter case kept") << "10,00,00,ff,3F,a0,00"
                                      << "000010   3Fff   00a0";
    QTest::newRow("full 16-byte line")
        << "F8,1F,00,00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F"
        << "001FF8   0100   0302   0504   0706   0908   0B0A   0D0C   0F0E";
}

void tst_ViewLine::strConvertViewLine() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(modGeneral::strConvertViewLine(line), expected);
}

KESTREL_TEST_MAIN(tst_ViewLine)
#include "tst_viewline.moc"
