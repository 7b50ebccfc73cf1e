#include <QDir>
#include <QFile>

#include "clearcommand.h"
#include "commandcontext.h"
#include "convertedfiles.h"
#include "fakehost.h"
#include "scriptedprompts.h"
#include "settings.h"
#include "testmain.h"

class tst_ClearCommand : public QObject {
    Q_OBJECT
public:
    explicit tst_ClearCommand(TestEnvironment& environment) : m_env(environment) {}

private slots:
    void deletesExactlyTheFourFilesTwiceInARow();
    void reportsAnUndeletableFileAndGoesOn();

private:
    void Touch(const QString& name) {
        QFile file(ConvertedFiles::PathOf(m_env.ProgramFolder(), name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("00,00,00\r\n");
    }

    TestEnvironment& m_env;
};

void tst_ClearCommand::deletesExactlyTheFourFilesTwiceInARow() {
    FakeHost host;
    ScriptedPrompts prompts;
    Settings settings(QStringLiteral("Kestrel"));
    CommandContext context{host, prompts, settings, m_env.ProgramFolder()};
    for (const QString& name : ConvertedFiles::kAll) Touch(name);
    Touch(QStringLiteral("Other.hx"));
    host.EnableCommands(false, true, true, false, true, false, true);
    host.SetPanelText(PanelKey::kBootCodeVersion, QStringLiteral("v1.5"));
    host.SetPanelText(PanelKey::kPort, QStringLiteral("Com 2"));
    host.panelLog.clear();

    for (int run = 0; run < 2; ++run) {
        ClearImportedCode(context);
        for (const QString& name : ConvertedFiles::kAll)
            QVERIFY(!QFile::exists(ConvertedFiles::PathOf(m_env.ProgramFolder(), name)));
        QVERIFY(QFile::exists(m_env.ProgramFolder() + QStringLiteral("/Other.hx")));
        QCOMPARE(host.enabled, (FakeHost::Groups{true, false, false, false, false, false, true}));
    }
    const QStringList oneRun = {QStringLiteral("Status=Clearing hex code..."),
                                QStringLiteral("Status="), QStringLiteral("BootCodeVersion=")};
    QCOMPARE(host.panelLog, oneRun + oneRun);
    QCOMPARE(host.PanelText(PanelKey::kPort), QStringLiteral("Com 2"));
    QVERIFY(prompts.messages.isEmpty());
}

void tst_ClearCommand::reportsAnUndeletableFileAndGoesOn() {
    FakeHost host;
    ScriptedPrompts prompts;
    Settings settings(QStringLiteral("Kestrel"));
    CommandContext context{host, prompts, settings, m_env.ProgramFolder()};
    // A folder in the file's place cannot be deleted as a file, even by root.
    const QString blocked = ConvertedFiles::PathOf(m_env.ProgramFolder(), ConvertedFiles::kEEPROM);
    QVERIFY(QDir().mkpath(blocked + QStringLiteral("/inside")));
    Touch(ConvertedFiles::kFlash);
    Touch(ConvertedFiles::kConfig);

    ClearImportedCode(context);

    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].text, QStringLiteral("Unable to delete ") + blocked);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Clear File Error"));
    QCOMPARE(prompts.messages[0].icon, MsgIcon::Critical);
    QVERIFY(!QFile::exists(ConvertedFiles::PathOf(m_env.ProgramFolder(), ConvertedFiles::kFlash)));
    QVERIFY(!QFile::exists(ConvertedFiles::PathOf(m_env.ProgramFolder(), ConvertedFiles::kConfig)));
    QCOMPARE(host.enabled, (FakeHost::Groups{true, false, false, false, false, false, true}));
    QCOMPARE(host.PanelText(PanelKey::kStatus), QString());
    QDir(blocked).removeRecursively();
}

KESTREL_TEST_MAIN(tst_ClearCommand)
#include "tst_clearcommand.moc"
