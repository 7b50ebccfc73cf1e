#include <fcntl.h>
#include <unistd.h>

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>
#include <QToolBar>

#include "clshexcomm.h"
#include "convertedfiles.h"
#include "frmmain.h"
#include "mainactions.h"
#include "scriptedprompts.h"
#include "testmain.h"

namespace {

const QStringList kGroupItems[] = {
    {"mnuImportHexFile"},
    {"mnuClearImportedCode"},
    {"mnuViewHexCode", "mnuViewFlash", "mnuViewEEPROM", "mnuViewUserID", "mnuViewConfig"},
    {"mnuConnectToPIC"},
    {"mnuProgramPIC", "mnuProgFlash", "mnuProgEEPROM"},
    {"mnuRunPIC"},
    {"mnuExitProg"},
};
const char* const kButtonKeys[] = {"ImportHexFile", "ClearImportedCode", "ViewHexCode",
                                   "ConnectToPIC",  "ProgramPIC",        "RunPIC",
                                   "ExitProg"};

QString Stored(const QString& key) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrel"),
                    QStringLiteral("Kestrel"));
    return store.value(key).toString();
}

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
public:
    explicit tst_frmMain(TestEnvironment& environment) : m_env(environment) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }
    void firstStartIsImportOnly();
    void captionsTipsAndAccessibility();
    void commandStateTable_data();
    void commandStateTable();
    void toolbarRoutesByExactKey();
    void portPanelOpensPortsMenu();
    void samePortDoesNothing();
    void otherPortClosesLinkAndStores();
    void storedPortAndPosition();
    void unloadStoresClearsAndReleases();
    void minimisedUnloadKeepsPosition();
    void closeWhileCommandRuns();

private:
    QAction* Item(frmMain& window, const QString& name) { return window.findChild<QAction*>(name); }
    QString Panel(frmMain& window, const QString& key) {
        return window.findChild<QLabel*>(key)->text();
    }
    // Each group's items and button as one state; fails when they disagree.
    std::array<bool, 7> Groups(frmMain& window);

    TestEnvironment& m_env;
};

std::array<bool, 7> tst_frmMain::Groups(frmMain& window) {
    std::array<bool, 7> groups{};
    for (int group = 0; group < 7; ++group) {
        const bool button =
            window.findChild<QAction*>(QString::fromLatin1(kButtonKeys[group]))->isEnabled();
        for (const QString& name : kGroupItems[group]) {
            if (Item(window, name)->isEnabled() != button) qWarning() << name << "disagrees";
            if (Item(window, name)->isEnabled() != button) return {};
        }
        groups[group] = button;
    }
    return groups;
}

void tst_frmMain::firstStartIsImportOnly() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Kestrel [v1.0.0]"));
    QCOMPARE(window.pos(), QPoint(0, 0));
    QCOMPARE(Panel(window, QStringLiteral("Port")), QStringLiteral("Com 1"));
    QCOMPARE(Panel(window, QStringLiteral("Status")), QString());
    QCOMPARE(Panel(window, QStringLiteral("BootCodeVersion")), QString());
    const QStringList ticked = {"mnuCom1", "mnuViewFlash", "mnuProgFlash"};
    for (const char* name :
         {"mnuCom1", "mnuCom2", "mnuCom3", "mnuCom4", "mnuViewFlash", "mnuViewEEPROM",
          "mnuViewUserID", "mnuViewConfig", "mnuProgFlash", "mnuProgEEPROM"})
        QCOMPARE(Item(window, name)->isChecked(), ticked.contains(name));
    QCOMPARE(Groups(window), (std::array<bool, 7>{true, false, false, false, false, false, true}));
    QVERIFY(window.State().objHexComm != nullptr);
    QVERIFY(!window.State().objHexComm->IsPortOpen());
    QCOMPARE(window.State().strHexFilePath, QString());
}

// What a screen reader finds: menus by caption, toolbar buttons by tip, panels by text.
void tst_frmMain::captionsTipsAndAccessibility() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.SetPanelText(QStringLiteral("Status"), QStringLiteral("Importing Hex File..."));
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.menuBar());
    QStringList menus;
    for (int i = 0; i < bar->childCount(); ++i)
        menus.append(bar->child(i)->text(QAccessible::Name));
    QCOMPARE(menus, QStringList({"File", "View", "Device", "Help"}));
    QStringList device;
    for (QAction* item : window.findChild<QMenu*>(QStringLiteral("mnuDevice"))->actions()) {
        device.append(item->isSeparator() ? QStringLiteral("-") : item->text());
        QVERIFY(item->shortcut().isEmpty());
    }
    QCOMPARE(device,
             QStringList({"&Connect", "&Program PIC", "-", "Flash", "EEPROM", "-", "&Run PIC"}));
    QStringList tips;
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tlbMain"));
    for (QAction* action : toolbar->actions()) {
        QAccessibleInterface* button =
            QAccessible::queryAccessibleInterface(toolbar->widgetForAction(action));
        tips.append(action->objectName() + QLatin1Char('=') + button->text(QAccessible::Name));
        QVERIFY(!action->icon().isNull());
    }
    QCOMPARE(tips,
             QStringList({"ImportHexFile=Import Hex File", "ClearImportedCode=Clear Imported Code",
                          "ViewHexCode=Veiw Imported Code", "ConnectToPIC=Connect to PIC",
                          "ProgramPIC=Program PIC", "RunPIC=Run PIC",
                          "ExitProg=Exit bootloader program"}));
    QAccessibleInterface* status =
        QAccessible::queryAccessibleInterface(window.findChild<QLabel*>(QStringLiteral("Status")));
    QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Importing Hex File..."));
    QCOMPARE(status->text(QAccessible::Description), QStringLiteral("Current Status"));
}

void tst_frmMain::commandStateTable_data() {
    QTest::addColumn<QList<bool>>("groups");
    QTest::newRow("import only") << QList<bool>{true, false, false, false, false, false, true};
    QTest::newRow("imported") << QList<bool>{false, true, true, true, false, false, true};
    QTest::newRow("connected") << QList<bool>{false, true, true, false, true, false, true};
    QTest::newRow("busy") << QList<bool>{false, false, false, false, false, false, false};
    QTest::newRow("programmed") << QList<bool>{false, true, true, false, false, true, true};
    QTest::newRow("running") << QList<bool>{false, true, true, false, false, false, true};
}

void tst_frmMain::commandStateTable() {
    QFETCH(QList<bool>, groups);
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    Item(window, QStringLiteral("mnuViewConfig"))->setChecked(true);
    window.EnableCommands(groups[0], groups[1], groups[2], groups[3], groups[4], groups[5],
                          groups[6]);
    const std::array<bool, 7> actual = Groups(window);
    QCOMPARE(QList<bool>(actual.begin(), actual.end()), groups);
    // Ticks survive disabling; the Ports menu and About are never disabled.
    QVERIFY(Item(window, QStringLiteral("mnuViewConfig"))->isChecked());
    QVERIFY(Item(window, QStringLiteral("mnuViewFlash"))->isChecked());
    for (const char* name : {"mnuCom1", "mnuCom2", "mnuCom3", "mnuCom4", "mnuAboutBootloader"})
        QVERIFY(Item(window, name)->isEnabled());
}

void tst_frmMain::toolbarRoutesByExactKey() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    auto* actions = window.findChild<MainActions*>();
    window.EnableCommands(false, true, true, true, false, false, true);
    emit actions->ButtonClick(QStringLiteral("clearimportedcode"));
    QCOMPARE(Groups(window), (std::array<bool, 7>{false, true, true, true, false, false, true}));

    QString statusDuringClear;
    QTimer::singleShot(200, [&] { statusDuringClear = Panel(window, QStringLiteral("Status")); });
    window.findChild<QAction*>(QStringLiteral("ClearImportedCode"))->trigger();
    QCOMPARE(statusDuringClear, QStringLiteral("Clearing hex code..."));
    QCOMPARE(Groups(window), (std::array<bool, 7>{true, false, false, false, false, false, true}));

    window.findChild<QAction*>(QStringLiteral("ExitProg"))->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(window.State().objHexComm == nullptr);
}

void tst_frmMain::portPanelOpensPortsMenu() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* ports = window.findChild<QMenu*>(QStringLiteral("mnuPorts"));
    QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("Status")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("BootCodeVersion")), Qt::LeftButton);
    QVERIFY(!ports->isVisible());
    QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("Port")), Qt::LeftButton);
    QTRY_VERIFY(ports->isVisible());
    QStringList items;
    for (QAction* item : ports->actions()) items.append(item->text());
    QCOMPARE(items, QStringList({"Com 1", "Com 2", "Com 3", "Com 4"}));
    ports->hide();
}

void tst_frmMain::samePortDoesNothing() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.EnableCommands(false, true, true, false, true, false, true);
    Item(window, QStringLiteral("mnuCom1"))->trigger();
    QVERIFY(Item(window, QStringLiteral("mnuCom1"))->isChecked());
    QCOMPARE(Stored(QStringLiteral("Kes_BootloaderForm/Port")), QString());
    QCOMPARE(Groups(window), (std::array<bool, 7>{false, true, true, false, true, false, true}));
}

void tst_frmMain::otherPortClosesLinkAndStores() {
    // A pseudo-terminal stands in for the adapter on Com 1.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QString com1 = m_env.PortLinkFolder() + QStringLiteral("/com1");
    QFile::remove(com1);
    QVERIFY(QFile::link(QString::fromLocal8Bit(ptsname(master)), com1));

    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    QVERIFY(window.State().objHexComm->OpenComPort(1));
    window.EnableCommands(false, true, true, false, true, false, true);
    window.SetPanelText(QStringLiteral("BootCodeVersion"), QStringLiteral("v1.5"));

    Item(window, QStringLiteral("mnuCom3"))->trigger();

    QVERIFY(!window.State().objHexComm->IsPortOpen());
    QCOMPARE(window.State().intPortNumber, qint16(3));
    QCOMPARE(Groups(window), (std::array<bool, 7>{true, false, false, false, false, false, true}));
    QCOMPARE(Stored(QStringLiteral("Kes_BootloaderForm/Port")), QStringLiteral("3"));
    QCOMPARE(Panel(window, QStringLiteral("Port")), QStringLiteral("Com 3"));
    QCOMPARE(Panel(window, QStringLiteral("BootCodeVersion")), QStringLiteral("v1.5"));
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(Item(window, QStringLiteral("mnuCom%1").arg(n))->isChecked(), n == 3);
    ::close(master);
    QFile::remove(com1);
}

// Unusable stored numbers fall back to their defaults; a port outside 1 to 4 is kept as it is.
void tst_frmMain::storedPortAndPosition() {
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrel"),
                        QStringLiteral("Kestrel"));
        store.setValue(QStringLiteral("Kes_BootloaderForm/Top"), QStringLiteral("x12"));
        store.setValue(QStringLiteral("Kes_BootloaderForm/Port"), QStringLiteral("7"));
        store.setValue(QStringLiteral("BootHexFilePath/Path"), QStringLiteral("/x/y.hex"));
    }
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    QCOMPARE(window.pos(), QPoint(0, 0));
    QCOMPARE(window.State().strHexFilePath, QStringLiteral("/x/y.hex"));
    QCOMPARE(Panel(window, QStringLiteral("Port")), QStringLiteral("Com 7"));
    for (int n = 1; n <= 4; ++n)
        QVERIFY(!Item(window, QStringLiteral("mnuCom%1").arg(n))->isChecked());
}

void tst_frmMain::unloadStoresClearsAndReleases() {
    ScriptedPrompts prompts;
    for (const QString& name : ConvertedFiles::kAll) {
        QFile file(ConvertedFiles::PathOf(m_env.ProgramFolder(), name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    {
        frmMain window(prompts, m_env.ProgramFolder());
        window.show();
        window.move(150, 75);
        QVERIFY(window.close());
        QVERIFY(window.State().objHexComm == nullptr);
        for (const QString& name : ConvertedFiles::kAll)
            QVERIFY(!QFile::exists(ConvertedFiles::PathOf(m_env.ProgramFolder(), name)));
    }
    const int top = Stored(QStringLiteral("Kes_BootloaderForm/Top")).toInt();
    const int left = Stored(QStringLiteral("Kes_BootloaderForm/Left")).toInt();
    QVERIFY(top > 0 && left > top);
    frmMain again(prompts, m_env.ProgramFolder());
    QCOMPARE(again.pos(), QPoint(150, 75));
}

void tst_frmMain::minimisedUnloadKeepsPosition() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    window.move(300, 300);
    window.showMinimized();
    QVERIFY(window.close());
    QCOMPARE(Stored(QStringLiteral("Kes_BootloaderForm/Top")), QString());
    QCOMPARE(Stored(QStringLiteral("Kes_BootloaderForm/Left")), QString());
}

void tst_frmMain::closeWhileCommandRuns() {
    ScriptedPrompts prompts;
    frmMain window(prompts, m_env.ProgramFolder());
    window.show();
    window.EnableCommands(false, true, true, true, false, false, true);
    bool closedAtOnce = true;
    QTimer::singleShot(100, [&] { closedAtOnce = window.close(); });
    window.findChild<QAction*>(QStringLiteral("mnuClearImportedCode"))->trigger();
    // The close waited for the command, then the unload ran in full.
    QVERIFY(!closedAtOnce);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
    QVERIFY(window.State().objHexComm == nullptr);
    QVERIFY(!Stored(QStringLiteral("Kes_BootloaderForm/Top")).isEmpty());
}

KESTREL_TEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
