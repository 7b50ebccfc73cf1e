#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTimer>

#include "clearcommand.h"
#include "connectcommand.h"
#include "desktopidentity.h"
#include "eventloopwaits.h"
#include "frmviewcode.h"
#include "golden.h"
#include "importcommand.h"
#include "programcommand.h"
#include "qserialportadapter.h"
#include "qtprompts.h"
#include "shellrig.h"
#include "simprocess.h"
#include "testmain.h"
#include "viewcommand.h"
#include "windowtext.h"

namespace {
const QString kData = qEnvironmentVariable("KESTREL_TEST_DATA");

void Compare(const QStringList& lines, const QString& file) {
    Golden golden(file);
    golden.Mask(QStringLiteral(KESTREL_VERSION), "version");
    golden.Mask(kData, "data");
    if (const QString diff = golden.Diff(lines); !diff.isEmpty()) QFAIL(qPrintable(diff));
}
}  // namespace

class tst_Shell : public QObject {
    Q_OBJECT
public:
    explicit tst_Shell(TestEnvironment&) {}

private slots:
    void initTestCase() { ShowAsKestrel(*qApp); }
    void init() { TestEnvironment::ClearSettings(); }

    // The windows in each state the command table names, as the real commands leave them
    // against the simulator and at each one's last wait; About and the code view as they show.
    // A picture of the main window with every panel filled is kept for people.
    void windows() {
        SimProcess sim({"--baud", "0", "--version", "12.34"});
        QVERIFY(sim.Start());
        WindowRig rig;
        rig.settings.Write(SettingKey::kHexPath, SettingKey::kPath, kData + "/table.hex");
        rig.prompts.files = {kData + "/table.hex"};
        EventLoopWaits linkWaits;  // for replies: the simulator answers in time
        auto link = std::make_unique<clsHexComm>(std::make_unique<QSerialPortAdapter>(),
                                                 rig.prompts, linkWaits);
        link->SetFastReplies(true);
        frmMain& window = rig.Open(
            {ImportHexFile, ClearImportedCode, ViewHexCode, ConnectToPIC, ProgramPIC, RunPIC},
            std::move(link));
        QStringList last;
        QString state;
        const auto snapshot = [&](const QString& name) {  // what changed, the prompts meanwhile
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QString picture = qEnvironmentVariable("KESTREL_SCREENSHOT");
            if (name.startsWith("connecting") && !picture.isEmpty())
                QVERIFY(QDir().mkpath(QFileInfo(picture).absolutePath()) &&
                        window.grab().save(picture));
            const QStringList now = WindowText(&window);
            m_lines << "== " + name << Changed(std::exchange(last, now), now);
            for (const QString& event : std::exchange(rig.trace.events, {}))
                if (!event.startsWith("delay")) m_lines << "prompt " + event;
        };
        rig.trace.onEvent = [&](const QString& event) {
            if (event.startsWith("delay")) snapshot(state + ", at its wait");
        };
        qApp->installEventFilter(this);
        m_lines = QStringList{"desktop entry " + QGuiApplication::desktopFileName()};
        snapshot("start");
        for (const auto& [item, during, after] :
             {std::tuple{"mnuAboutBootloader", "", "About closed"},
              {"mnuImportHexFile", "importing", "imported"},
              {"mnuViewEEPROM", "", "EEPROM ticked to view"},
              {"mnuViewUserID", "", "user ID ticked to view"},
              {"mnuViewConfig", "", "config ticked to view"},
              {"mnuConnectToPIC", "connecting", "connected"},
              {"mnuProgEEPROM", "", "EEPROM ticked to program"},
              {"mnuProgramPIC", "programming", "programmed"},
              {"mnuRunPIC", "running", "run"},
              {"mnuViewHexCode", "viewing", "viewed"}}) {
            state = during;
            window.findChild<QAction*>(item)->trigger();
            snapshot(after);
        }
        qApp->removeEventFilter(this);
        Compare(m_lines, "windows.txt");
    }

    // Each row's steps (WindowRig::Do); the golden file holds what they leave (WindowRig::Seen).
    void mainWindow() {
        QStringList rows{
            // Positions in twips; off screen reads as (0, 0); exit stores, clamped, unless
            // minimised.
            "Left=-1500 Top=750 Port=7 show", "Top=15000 Port=abc show", "connected move ExitProg",
            "move showMinimized mnuExitProg", "connected enable=1010101 mnuCom1", "Port=2 mnuCom1",
            "connected enable=0101010 mnuCom4",
            // A port chosen or a close while a command runs stops it; then, once the outermost
            // command has returned, they take place.
            "connected enable=1111111 mnuProgramPIC+mnuCom3",
            "enable=1111111 mnuProgramPIC+mnuCom3 mnuImportHexFile", "enable=1111111 RunPIC+close",
            "enable=1111111 mnuRunPIC+mnuImportHexFile+mnuCom3",
            "enable=1111111 mnuViewFlash mnuViewEEPROM mnuViewUserID mnuViewConfig mnuProgFlash "
            "mnuProgEEPROM",
            // The port panel alone opens the Ports pop-up: by mouse, keys after Tab, screen reader.
            "click:Status", "key:C", "click:Port", "key:Return", "key:Enter", "key:Space",
            "reader"};
        for (const QString key : {"ImportHexFile", "ClearImportedCode", "ViewHexCode",
                                  "ConnectToPIC", "ProgramPIC", "RunPIC"})
            rows << "enable=1111111 " + key << "enable=1111111 mnu" + key;
        const QStringList fresh = WindowText(&WindowRig().Open());
        QStringList seen;
        for (const QString& steps : rows) {
            TestEnvironment::ClearSettings();
            WindowRig rig;
            for (const QString& step : steps.split(' ')) rig.Do(step);
            QCoreApplication::processEvents();
            seen << "== " + steps << rig.Seen(fresh);
        }
        Compare(seen, "shell.txt");
    }

    // The code view opens where it was closed (in twips; placing is the main window's).
    void viewCodeWindow() {
        Settings settings(QStringLiteral("Kestrel"));
        settings.Write(SettingKey::kViewForm, SettingKey::kLeft, "1500");
        settings.Write(SettingKey::kViewForm, SettingKey::kTop, "750");
        auto view = std::make_unique<frmViewCode>(settings, QString());
        QCOMPARE(view->pos(), QPoint(100, 50));
        view->move(-3000, 75);  // stored clamped to 16 bits
        view.reset();
        QCOMPARE(settings.Read(SettingKey::kViewForm, SettingKey::kLeft, "-") + ' ' +
                     settings.Read(SettingKey::kViewForm, SettingKey::kTop, "-"),
                 "-32768 1125");
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

protected:
    // A dialog is seen as it shows, then closed.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QTimer::singleShot(0, dialog, [this, dialog] {
                m_lines << "== " + QString(dialog->metaObject()->className()) << WindowText(dialog);
                dialog->close();
            });
        return false;
    }

private:
    QStringList m_lines;
};

KESTREL_TEST_MAIN(tst_Shell)
#include "tst_shell.moc"
