#include <QAccessible>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "frmmain.h"
#include "mainactions.h"
#include "modalanswer.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "settings.h"
#include "testmain.h"

namespace {

Trace* g_trace = nullptr;

// Each command traces its name and waits with its progress on show, as the real ones do.
void Ran(const char* name, CommandContext& context) {
    g_trace->Add(QString::fromLatin1(name));
    context.host.SetPanelText(PanelKey::kStatus, QString::fromLatin1(name));
    context.host.SetBusyPointer(true);
    context.host.SetProgressValue(50);
    if (!context.waits.Delay(1.0F)) return g_trace->Add(QStringLiteral("stopped"));
    context.host.SetPanelText(PanelKey::kStatus, QString());
    context.host.SetBusyPointer(false);
    context.host.SetProgressValue(0);
}
#define RAN(name) [](CommandContext& c) { Ran(name, c); }
const CommandSet kCommands{RAN("import"),  RAN("clear"),   RAN("view"),
                           RAN("connect"), RAN("program"), RAN("run")};

// Each group's toolbar key, then its menu items.
const QStringList kGroups[] = {{"ImportHexFile", "mnuImportHexFile"},
                               {"ClearImportedCode", "mnuClearImportedCode"},
                               {"ViewHexCode", "mnuViewHexCode", "mnuViewFlash", "mnuViewEEPROM",
                                "mnuViewUserID", "mnuViewConfig"},
                               {"ConnectToPIC", "mnuConnectToPIC"},
                               {"ProgramPIC", "mnuProgramPIC", "mnuProgFlash", "mnuProgEEPROM"},
                               {"RunPIC", "mnuRunPIC"},
                               {"ExitProg", "mnuExitProg"}};

// The real main window over scripted prompts and waits and a link to an in-process port.
struct WindowRig {
    WindowRig() {
        g_trace = &trace;
        trace.onEvent = [this](const QString&) {
            if (!during.isEmpty()) Do(std::exchange(during, QString()));
        };
    }
    frmMain& Open() {
        auto serial = std::make_unique<FakeSerialPort>();
        port = serial.get();
        auto link = std::make_unique<clsHexComm>(std::move(serial), prompts, waits);
        window = std::make_unique<frmMain>(settings, prompts, waits, std::move(link), folder.path(),
                                           kCommands);
        window->show();
        return *window;
    }
    QAction* Item(const QString& name) const { return window->findChild<QAction*>(name); }

    // Plays space-separated steps. Key=value: a stored setting, before the window opens;
    // connected: Com 1 open, a version shown; enable=GROUPS; move, minimise, close: the window;
    // else a toolbar key or menu item to click, with +STEP for a step as its command first waits.
    void Play(const QString& steps) {
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (!window && step.contains('=') && step.at(0).isUpper())
                settings.Write(SettingKey::kMainForm, step.section('=', 0, 0),
                               step.section('=', 1));
            else
                Do(step);
        }
        if (!window) Open();
        QCoreApplication::processEvents();
    }
    void Do(const QString& step) {
        if (!window) Open();
        if (step == "connected") {
            window->State().objHexComm->OpenComPort(1);
            window->SetPanelText(PanelKey::kBootCodeVersion, "v1.5");
        } else if (step.startsWith("enable=")) {
            Enable(step.mid(7));
        } else if (step == "move") {
            window->move(150, 75);
        } else if (step == "minimise") {
            window->showMinimized();
        } else if (step == "close") {
            window->close();
        } else {
            during = step.section('+', 1);
            Item(step.section('+', 0, 0))->trigger();
        }
    }
    void Enable(const QString& groups) {
        const auto on = [&](int group) { return groups.at(group) == '1'; };
        window->EnableCommands(on(0), on(1), on(2), on(3), on(4), on(5), on(6));
    }

    // Per group: 1 when its button and items are on, 0 when all are off, x when they disagree.
    QString Groups() const {
        QString groups;
        for (const QStringList& group : kGroups) {
            QSet<bool> on;
            for (const QString& name : group) on << Item(name)->isEnabled();
            groups += on.size() > 1 ? 'x' : on.contains(true) ? '1' : '0';
        }
        return groups;
    }
    // Position, Port panel, [Status|BootCodeVersion], groups, ticks, link, pointer, progress,
    // stored Left Top Port: trace.
    QString Snapshot() const {
        QStringList seen{
            QStringLiteral("%1,%2").arg(window->x()).arg(window->y()),
            window->PanelText(PanelKey::kPort),
            QStringLiteral("[%1|%2]").arg(window->PanelText(PanelKey::kStatus),
                                          window->PanelText(PanelKey::kBootCodeVersion)),
            Groups()};
        for (const QAction* item : window->findChildren<QAction*>(QRegularExpression("^mnu")))
            if (item->isChecked()) seen << item->objectName().mid(3);
        seen << (port && port->IsOpen() ? "open" : "closed");
        if (window->cursor().shape() == Qt::WaitCursor) seen << "busy";
        if (window->ProgressValue() > 0) seen << QString::number(window->ProgressValue()) + '%';
        for (const QString& key : {SettingKey::kLeft, SettingKey::kTop, SettingKey::kPort})
            seen << settings.Read(SettingKey::kMainForm, key, "-");
        return seen.join(' ') + ": " + trace.events.join(", ");
    }

    Trace trace;
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    QString during;  // the step to play as the next command waits
    QPointer<FakeSerialPort> port;
    std::unique_ptr<frmMain> window;
};

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
public:
    explicit tst_frmMain(TestEnvironment&) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    void mainWindow_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("snapshot");
        const auto row = [](const char* name, const char* steps, const char* snapshot) {
            QTest::newRow(name) << steps << snapshot;
        };
        row("first start", "", "0,0 Com 1 [|] 1000001 ViewFlash ProgFlash Com1 closed - - -: ");
        row("stored", "Left=-1500 Top=750 Port=7",
            "-100,50 Com 7 [|] 1000001 ViewFlash ProgFlash closed -1500 750 7: ");
        row("unusable", "Left=x12 Top=99999 Port=abc",
            "0,0 Com 1 [|] 1000001 ViewFlash ProgFlash Com1 closed x12 99999 abc: ");
        row("off screen", "Left=-32768 Top=15000",
            "0,0 Com 1 [|] 1000001 ViewFlash ProgFlash Com1 closed -32768 15000 -: ");
        row("same port", "connected enable=1010101 mnuCom1",
            "0,0 Com 1 [|v1.5] 1010101 ViewFlash ProgFlash Com1 open - - -: ");
        row("other port", "connected enable=0101010 mnuCom3",
            "0,0 Com 3 [|v1.5] 1000001 ViewFlash ProgFlash Com3 closed - - 3: ");
        row("unload", "connected move close",
            "150,75 Com 1 [|v1.5] 1000001 ViewFlash ProgFlash Com1 closed 2250 1125 -: clear, "
            "delay 1");
        row("minimised", "move minimise close",
            "150,75 Com 1 [|] 1000001 ViewFlash ProgFlash Com1 closed - - -: clear, delay 1");
        row("port in a command", "connected enable=1111111 mnuProgramPIC+mnuCom3 mnuImportHexFile",
            "0,0 Com 3 [|v1.5] 1000001 ViewFlash ProgFlash Com3 closed - - 3: program, delay 1, "
            "stopped, import, delay 1");
        row("close in a command", "enable=1111111 mnuRunPIC+close",
            "0,0 Com 1 [|] 1111111 ViewFlash ProgFlash Com1 closed 0 0 -: run, delay 1, stopped, "
            "clear, delay 1");
    }
    void mainWindow() {
        QFETCH(QString, steps);
        QFETCH(QString, snapshot);
        WindowRig rig;
        rig.Play(steps);
        QCOMPARE(rig.Snapshot(), snapshot);
        QCOMPARE(rig.window->isVisible(), !steps.contains("close"));
    }

    // What a screen reader finds: title, menus, toolbar buttons by tip, panels by tip and width.
    void captionsAndTips() {
        WindowRig rig;
        rig.settings.Write(SettingKey::kHexPath, SettingKey::kPath, "/x/y.hex");
        frmMain& window = rig.Open();
        QStringList seen{window.windowTitle(), window.State().strHexFilePath};
        for (const QAction* menu : window.menuBar()->actions()) {
            seen << menu->text() + ':';
            for (const QAction* item : menu->menu()->actions())
                seen.last() += ' ' + (item->isSeparator() ? "-" : item->text());
        }
        auto* toolbar = window.findChild<QToolBar*>("tlbMain");
        for (QAction* button : toolbar->actions()) {
            seen << button->objectName() + '=' +
                        QAccessible::queryAccessibleInterface(toolbar->widgetForAction(button))
                            ->text(QAccessible::Name) +
                        (button->icon().isNull() ? " no icon" : "");
        }
        window.SetPanelText(PanelKey::kPort, QString());  // a text wider than its panel widens it
        for (const QLabel* panel : window.statusBar()->findChildren<QLabel*>())
            seen << panel->objectName() + '=' + panel->toolTip() + ' ' +
                        QString::number(panel->sizeHint().width());
        QCOMPARE(
            seen,
            QStringList({"Kestrel [v1.0.0]", "/x/y.hex",
                         "&File: &Import Hex &Clear File - E&xit Program",
                         "&View: &Hex Code - Flash EEPROM User ID Config",
                         "&Device: &Connect &Program PIC - Flash EEPROM - &Run PIC",
                         "&Help: About Bootloader", "ImportHexFile=Import Hex File",
                         "ClearImportedCode=Clear Imported Code", "ViewHexCode=Veiw Imported Code",
                         "ConnectToPIC=Connect to PIC", "ProgramPIC=Program PIC", "RunPIC=Run PIC",
                         "ExitProg=Exit bootloader program", "Status=Current Status 220",
                         "BootCodeVersion=Boot Firmware Version 33", "Port=Selected Com Port 47"}));
        window.EnableCommands(true, true, true, true, true, true, true);
        for (const char* name : {"mnuViewUserID", "mnuProgFlash"}) rig.Item(name)->trigger();
        QString ticks;
        for (Tick tick : {Tick::ViewFlash, Tick::ViewEEPROM, Tick::ViewUserID, Tick::ViewConfig,
                          Tick::ProgFlash, Tick::ProgEEPROM})
            ticks += window.IsTicked(tick) ? '1' : '0';
        QCOMPARE(ticks, "101000");  // a click on a region item toggles its own tick
        window.resize(600, 400);    // the design size is 4575 x 1350 twips below the menu bar
        QCOMPARE(window.size(), QSize(305, window.menuBar()->sizeHint().height() + 90));
    }

    void routing_data() {
        QTest::addColumn<QString>("item");  // a toolbar key or a menu item
        QTest::addColumn<QStringList>("trace");
        const char* const commands[] = {"import", "clear", "view", "connect", "program", "run"};
        for (int group = 0; group < 7; ++group) {
            const QStringList ran{group < 6 ? commands[group] : "clear", "delay 1"};
            for (const QString& item : {kGroups[group][0], kGroups[group][1]})
                QTest::newRow(qPrintable(item)) << item << ran;  // exit: the unload clears
        }
        QTest::newRow("About") << "mnuAboutBootloader"
                               << QStringList{
                                      "frmAbout", "Kestrel (Courier New)",
                                      "For windows:  95/98/ME/2000 and XP Platform (Arial)"};
        QTest::newRow("key case") << "importHexFile" << QStringList{};
    }
    void routing() {
        QFETCH(QString, item);
        QFETCH(QStringList, trace);
        WindowRig rig;
        frmMain& window = rig.Open();
        window.EnableCommands(true, true, true, true, true, true, true);
        ModalAnswer answer([&](QWidget* modal) {
            rig.trace.Add(modal->metaObject()->className() + modal->windowTitle());
            for (const QLabel* label :
                 modal->findChildren<QLabel*>(QRegularExpression("Product|Platform")))
                rig.trace.Add(label->text() + " (" + label->font().family() + ')');
            modal->close();
        });
        if (QAction* action = rig.Item(item))
            action->trigger();
        else
            emit window.findChild<MainActions*>()->ButtonClick(item);
        QCOMPARE(rig.trace.events, trace);
    }

    void panelClicks() {
        WindowRig rig;
        frmMain& window = rig.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* ports = window.findChild<QMenu*>("mnuPorts");
        for (const QString& key :
             {PanelKey::kStatus, PanelKey::kBootCodeVersion, PanelKey::kPort}) {
            QTest::mouseClick(window.findChild<QLabel*>(key), Qt::LeftButton);
            QCOMPARE(ports->isVisible(), key == PanelKey::kPort);
        }
        ports->hide();
        QCOMPARE(rig.trace.events, QStringList());
    }
};

KESTREL_TEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
