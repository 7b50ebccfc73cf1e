#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>

#include "desktopidentity.h"
#include "frmviewcode.h"
#include "qtprompts.h"
#include "shellrig.h"
#include "singleinstance.h"
#include "testmain.h"

class tst_Shell : public QObject {
    Q_OBJECT
public:
    explicit tst_Shell(TestEnvironment&) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    // Each row: steps (see WindowRig::Do), then the snapshot they leave.
    void mainWindow_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("snapshot");
        const auto row = [](const QString& steps, const QString& snapshot) {
            QTest::newRow(qPrintable(steps)) << steps << snapshot;
        };
        const QString start = "0,0 [Com 1|] 1000001 100010 Com 1 - - -: ";
        // Positions in twips; off screen reads as (0, 0); exit stores, clamped, unless minimised.
        row("Left=-1500 Top=750 Port=7 show", "-100,50 [Com 7|] 1000001 100010 -1500 750 7: ");
        row("Top=15000 Port=abc show", "0,0 [Com 1|] 1000001 100010 Com 1 - 15000 abc: ");
        row("connected move ExitProg",
            "3000,3000 [Com 1|clear] 1000001 100010 Com 1 hidden busy 50% 32767 32767 -: clear, "
            "delay 1");
        row("move showMinimized mnuExitProg",
            "3000,3000 [Com 1|clear] 1000001 100010 Com 1 hidden busy 50% - - -: clear, delay 1");
        row("connected enable=1010101 mnuCom1", "0,0 [Com 1|] 1010101 100010 Com 1 open - - -: ");
        row("connected enable=0101010 mnuCom4", "0,0 [Com 4|] 1000001 100010 Com 4 - - 4: ");
        // A port chosen or a close while a command runs stops it; then they take place.
        row("connected enable=1111111 mnuProgramPIC+mnuCom3",
            "0,0 [Com 3|] 1000001 100010 Com 3 - - 3: program, delay 1, stopped");
        row("enable=1111111 mnuProgramPIC+mnuCom3 mnuImportHexFile",
            "0,0 [Com 3|import] 1000001 100010 Com 3 busy 50% - - 3: program, delay 1, stopped, "
            "import, delay 1");
        row("enable=1111111 RunPIC+close",
            "0,0 [Com 1|clear] 1111111 100010 Com 1 hidden busy 50% 0 0 -: run, delay 1, stopped, "
            "clear, delay 1");
        row("enable=1111111 mnuViewFlash mnuViewEEPROM mnuViewUserID mnuViewConfig mnuProgFlash "
            "mnuProgEEPROM",
            "0,0 [Com 1|] 1111111 011101 Com 1 - - -: ");
        const QStringList keys{"ImportHexFile", "ClearImportedCode", "ViewHexCode",
                               "ConnectToPIC",  "ProgramPIC",        "RunPIC"};
        for (int i = 0; i < 6; ++i)  // each toolbar key and menu item runs its command
            for (const QString& item : {keys[i], "mnu" + keys[i]})
                row("enable=1111111 " + item,
                    QStringLiteral(
                        "0,0 [Com 1|%1] 1111111 100010 Com 1 busy 50% - - -: %1, delay 1")
                        .arg(WindowRig::kCommands[i]));
        row("mnuAboutBootloader",
            start +
                "frmAbout Logo, Kestrel (Courier New), Hardware: a PIC16F microcontroller running "
                "the serial bootloader firmware (Sans Serif), Software: this host program, "
                "which imports Intel HEX files and programs the device (Sans Serif), For "
                "windows:  95/98/ME/2000 and XP Platform (Arial)");
        // The port panel alone opens the Ports pop-up: by mouse, keys after Tab, screen reader.
        for (const QString step : {"click:Status", "key:C"}) row(step, start);
        for (const QString step : {"click:Port", "key:Return", "key:Enter", "key:Space", "reader"})
            row(step, start + "ports");
    }
    void mainWindow() {
        QFETCH(QString, steps);
        QFETCH(QString, snapshot);
        WindowRig rig;
        for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) rig.Do(step);
        QCoreApplication::processEvents();
        QCOMPARE(rig.Snapshot(), snapshot);
    }

    // Title and icon, desktop name, menus, toolbar tips, panels by tip, width and what a screen
    // reader hears; the size.
    void captionsAndTips() {
        WindowRig rig;
        rig.settings.Write(SettingKey::kHexPath, SettingKey::kPath, "/x/y.hex");
        frmMain& window = rig.Open();
        ShowAsKestrel(*qApp);
        const QString noIcon = " no icon";
        QStringList seen{
            window.windowTitle() + (window.windowIcon().pixmap(16).isNull() ? noIcon : ""),
            QGuiApplication::desktopFileName(), window.State().strHexFilePath};
        for (const QAction* menu : window.menuBar()->actions()) {
            seen << menu->text() + ':';
            for (const QAction* item : menu->menu()->actions())
                seen.last() += ' ' + (item->isSeparator() ? "-" : item->text());
        }
        for (QAction* button : window.findChild<QToolBar*>("tlbMain")->actions())
            seen << button->objectName() + '=' + button->toolTip() +
                        (button->icon().pixmap(16).isNull() ? noIcon : "");
        window.SetPanelText(PanelKey::kPort, "1");  // narrower than its panel
        for (QLabel* panel : window.statusBar()->findChildren<QLabel*>()) {
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(panel);
            seen << QStringLiteral("%1=%2 %3 ")
                            .arg(panel->objectName(), panel->toolTip())
                            .arg(panel->sizeHint().width()) +
                        (reader->role() == QAccessible::Button ? "button " : "") +
                        reader->text(QAccessible::Name);
        }
        QCOMPARE(seen.join(" | "),
                 "Kestrel [v1.0.0] | kestrel | /x/y.hex | &File: &Import Hex &Clear File - E&xit "
                 "Program | "
                 "&View: &Hex Code - Flash EEPROM User ID Config | &Device: &Connect &Program PIC "
                 "- Flash EEPROM - &Run PIC | &Help: About Bootloader | ImportHexFile=Import Hex "
                 "File | ClearImportedCode=Clear Imported Code | ViewHexCode=Veiw Imported Code | "
                 "ConnectToPIC=Connect to PIC | ProgramPIC=Program PIC | RunPIC=Run PIC | "
                 "ExitProg=Exit bootloader program | Status=Current Status 220  | "
                 "BootCodeVersion=Boot Firmware Version 33  | Port=Selected Com Port 47 button 1");
        window.resize(600, 400);  // the design size is 4575 x 1350 twips below the menu bar
        QCOMPARE(window.size(), QSize(305, window.menuBar()->sizeHint().height() + 90));
    }

    // Under X (as tst_screenshot): the panels side by side, texts whole; a picture for people.
    void screenshot() {
        if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X display");
        WindowRig rig;
        frmMain& window = rig.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList texts{"Converting EEPROM to view...", "v12.34", "Com 4"};
        const QList<QLabel*> panels = window.statusBar()->findChildren<QLabel*>();
        for (int i = 0; i < 3; ++i) panels[i]->setText(texts[i]);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QRect placed;  // the panels so far; a frame indents the text by half an x
        for (int i = 0; i < 3; placed |= panels[i++]->geometry()) {
            const QFontMetrics metrics = panels[i]->fontMetrics();
            QVERIFY2(window.statusBar()->rect().contains(panels[i]->geometry()) &&
                         !placed.intersects(panels[i]->geometry()) &&
                         panels[i]->contentsRect().width() - metrics.horizontalAdvance('x') / 2 >=
                             metrics.horizontalAdvance(texts[i]),
                     qPrintable(texts[i]));
        }
        const QString path = qEnvironmentVariable("KESTREL_SCREENSHOT", "frmMain.png");
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()) && window.grab().save(path));
    }

    // The code view opens where it was closed, or at (0, 0) when that is off every screen.
    void viewCodeWindow() {
        Settings settings(QStringLiteral("Kestrel"));
        const QString wide(100, u'0');  // wider than the window
        QString seen;
        for (const char* left : {"1500", "30000"}) {  // in twips, Top 750
            settings.Write(SettingKey::kViewForm, SettingKey::kLeft, left);
            settings.Write(SettingKey::kViewForm, SettingKey::kTop, "750");
            auto view = std::make_unique<frmViewCode>(settings, "\r\n" + wide + "\r\n");
            auto* text = view->findChild<QPlainTextEdit*>("rtbViewCode");
            QCOMPARE(view->windowTitle() + text->toPlainText(), "Code View Window\n" + wide + '\n');
            seen += QStringLiteral("%1,%2 ").arg(view->x()).arg(view->y());
            view->show();
            const QFontMetrics metrics(
                text->font());  // fixed pitch; it fills the window, unwrapped
            QVERIFY(text->isReadOnly() &&
                    metrics.horizontalAdvance("iiii") == metrics.horizontalAdvance("WWWW") &&
                    text->geometry() == view->rect() && text->horizontalScrollBar()->maximum() > 0);
            view->move(-3000, 75);
            view.reset();
            seen += settings.Read(SettingKey::kViewForm, SettingKey::kLeft, "-") + ',' +
                    settings.Read(SettingKey::kViewForm, SettingKey::kTop, "-") + ' ';
        }
        QCOMPARE(seen, "100,50 -32768,1125 0,0 -32768,1125 ");
    }

    // A message box shows its title, text, icon and buttons, and returns the one clicked.
    void messageBox() {
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen = box->windowTitle() + ": " + box->text() + ' ' +
                   QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()) +
                   (box->button(QMessageBox::Cancel) ? " [ok/cancel]" : "");
            box->button(QMessageBox::Cancel)->click();
        });
        const MsgResult result =
            QtPrompts().MsgBox("text", "Title", MsgIcon::Critical, MsgButtons::OkCancel);
        QCOMPARE(seen + ' ' + QString::number(int(result)), "Title: text Critical [ok/cancel] 1");
    }

    // The dialog opens in the start folder, or in its folder with the file chosen; "All Files"
    // lists every name, those without a dot too.
    void openDialog() {
        QTemporaryDir folder;
        QString seen;
        for (const QString start : {"/old.hex", ""}) {  // accept; choose "All Files" and cancel
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (start.isEmpty())
                    QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_End);
                seen += dialog->windowTitle() + ' ' + dialog->directory().absolutePath() + ' ' +
                        dialog->selectedNameFilter() + ' ' +
                        dialog->findChild<QFileSystemModel*>()->nameFilters().join(',');
                start.isEmpty() ? dialog->reject() : static_cast<QDialog*>(dialog)->accept();
            });
            const std::optional<QString> file =
                QtPrompts().OpenFile("Hex Files (*.hex);;All Files (*.*)", folder.path() + start);
            seen += ' ' + file.value_or("-") + ' ';
        }
        QCOMPARE(seen.replace(folder.path(), "T"),
                 "Open T Hex Files (*.hex) *.hex T/old.hex Open T All Files (*.*) * - ");
    }

    // A crashed run leaves its lock and its socket behind; the next start takes both over, and
    // a start after that is refused and raises it.
    void oneKestrelPerFolder() {
        QTemporaryDir folder;
        SingleInstance crashed(folder.path()), running(folder.path()), second(folder.path());
        QSignalSpy raised(&running, &SingleInstance::RaiseRequested);
        using Claim = SingleInstance::Claim;
        QCOMPARE(crashed.Acquire(), Claim::Held);
        QFile lock(folder.path() + "/Kestrel.lock");  // left with an id that no process has
        QVERIFY(lock.remove() && lock.open(QIODevice::WriteOnly) && lock.write("999999999\n") > 0);
        lock.close();
        QCOMPARE(running.Acquire(), Claim::Held);
        QCOMPARE(second.Acquire(), Claim::Running);
        QVERIFY(raised.wait(5000));
    }
};

KESTREL_TEST_MAIN(tst_Shell)
#include "tst_shell.moc"
