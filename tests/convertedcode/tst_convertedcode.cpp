#include <QDir>
#include <QTest>

#include "clearcommand.h"
#include "commandrig.h"
#include "convertedfiles.h"
#include "testmain.h"

class tst_ConvertedCode : public QObject {
    Q_OBJECT
public:
    explicit tst_ConvertedCode(TestEnvironment&) {}

private slots:
    // A file its owner may not write is read-only, even to root: it stays, and is reported.
    void clearDeletesTheFourFilesOnly() {
        CommandRig rig;
        for (const char* name : {"Flash.hx", "EEPROM.hx", "UserID.hx", "Config.hx", "keep.hx"})
            QVERIFY(QFile(ConvertedFiles::PathOf(rig.Folder(), name)).open(QIODevice::WriteOnly));
        const QString userID = ConvertedFiles::PathOf(rig.Folder(), ConvertedFiles::kUserID);
        QVERIFY(QFile::setPermissions(userID, QFile::ReadOwner | QFile::ReadGroup));
        ClearImportedCode(rig.context);
        QCOMPARE(rig.trace.events.join('|'),
                 "Status=Clearing hex code...|msg Clear File Error: Unable to delete " + userID +
                     " (x)|delay 0.5|enable 1000001|Status=|BootCodeVersion=|delay 0.5");
        QCOMPARE(QDir(rig.Folder()).entryList(QDir::Files), QStringList({"keep.hx", "UserID.hx"}));
    }
};

KESTREL_TEST_MAIN(tst_ConvertedCode)
#include "tst_convertedcode.moc"
