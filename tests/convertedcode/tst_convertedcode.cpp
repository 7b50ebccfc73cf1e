#include <QFile>
#include <QTest>

#include "clearcommand.h"
#include "commandrig.h"
#include "convertedfiles.h"
#include "convertedline.h"
#include "testmain.h"

class tst_ConvertedCode : public QObject {
    Q_OBJECT
public:
    explicit tst_ConvertedCode(TestEnvironment&) {}

private slots:
    // A file its owner may not write is read-only, even to root: it stays, and is reported.
    void clearDeletesTheFourFilesOnly() {
        CommandRig rig;
        QStringList names(ConvertedFiles::kAll.begin(), ConvertedFiles::kAll.end());
        for (const QString& name : names << "keep.hx") {
            QFile file(ConvertedFiles::PathOf(rig.Folder(), name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString userID = ConvertedFiles::PathOf(rig.Folder(), ConvertedFiles::kUserID);
        QVERIFY(QFile::setPermissions(userID, QFile::ReadOwner | QFile::ReadGroup));
        for (int run = 0; run < 2; ++run) ClearImportedCode(rig.context);
        const QStringList once{"Status=Clearing hex code...",
                               "msg Clear File Error: Unable to delete " + userID + " (x)",
                               "delay 0.5",
                               "enable 1000001",
                               "Status=",
                               "BootCodeVersion=",
                               "delay 0.5"};
        QCOMPARE(rig.trace.events, once + once);
        for (const QString& name : names)
            QCOMPARE(QFile::exists(ConvertedFiles::PathOf(rig.Folder(), name)),
                     name == ConvertedFiles::kUserID || name == "keep.hx");
    }

    void lineFields_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("data");  // hexadecimal; "-" when the line does not decode
        QTest::newRow("flash") << QByteArray("08,01,00,83,16") << "000108" << QByteArray("8316");
        QTest::newRow("address only") << QByteArray("07,20,00") << "002007" << QByteArray("");
        QTest::newRow("lower case") << QByteArray("0a,21,00,ff") << "00210a" << QByteArray("ff");
        QTest::newRow("short field") << QByteArray("10,21,0,FF") << "02110" << QByteArray("-");
        QTest::newRow("not hex") << QByteArray("08,01,00,ZZ") << "000108" << QByteArray("-");
        QTest::newRow("two fields") << QByteArray("08,01") << "0108" << QByteArray("-");
    }
    void lineFields() {
        QFETCH(QByteArray, text);
        QFETCH(QString, address);
        QFETCH(QByteArray, data);
        const ConvertedLine line(text);
        QCOMPARE(line.AddressText(), address);
        ByteAddr bytAddr{};
        QByteArray bytData;
        const bool decoded = line.Decode(bytAddr, bytData);
        QCOMPARE(decoded ? bytData.toHex() : QByteArray("-"), data);
        if (decoded) QCOMPARE(WordOf(bytAddr), address.toUInt(nullptr, 16));
    }
};

KESTREL_TEST_MAIN(tst_ConvertedCode)
#include "tst_convertedcode.moc"
