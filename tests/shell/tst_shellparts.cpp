#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "frmviewcode.h"
#include "modalanswer.h"
#include "qtprompts.h"
#include "settings.h"
#include "singleinstance.h"
#include "testmain.h"

class tst_ShellParts : public QObject {
    Q_OBJECT
public:
    explicit tst_ShellParts(TestEnvironment&) {}

private slots:
    void init() { TestEnvironment::ClearSettings(); }

    void viewCodeWindow_data() {
        QTest::addColumn<QString>("stored");  // Left,Top in twips
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QString>(
            "shown");  // position, then what it stores once moved to (150, 75)
        QTest::newRow("moved") << "1500,750" << false << "100,50 2250,1125";
        QTest::newRow("minimised") << "15,0" << true << "1,0 15,0";
        QTest::newRow("off screen") << "30000,0" << false << "0,0 2250,1125";
    }
    void viewCodeWindow() {
        QFETCH(QString, stored);
        QFETCH(bool, minimised);
        QFETCH(QString, shown);
        Settings settings(QStringLiteral("Kestrel"));
        settings.Write(SettingKey::kViewForm, SettingKey::kLeft, stored.section(',', 0, 0));
        settings.Write(SettingKey::kViewForm, SettingKey::kTop, stored.section(',', 1));
        const QString wide(100, u'0');  // wider than the window
        auto view = std::make_unique<frmViewCode>(settings, "\r\n" + wide + "\r\n");
        QCOMPARE(view->screen()->logicalDotsPerInch(), 96.0);
        QString seen = QStringLiteral("%1,%2 ").arg(view->x()).arg(view->y());
        auto* text = view->findChild<QPlainTextEdit*>("rtbViewCode");
        const QFontMetrics metrics(text->font());
        QCOMPARE(view->windowTitle() + text->toPlainText(), "Code View Window\n" + wide + '\n');
        QVERIFY(text->isReadOnly() &&
                metrics.horizontalAdvance("iiii") == metrics.horizontalAdvance("WWWW"));
        view->show();
        QVERIFY(text->horizontalScrollBar()->maximum() > 0);  // it scrolls rather than wraps
        view->move(150, 75);
        if (minimised) view->showMinimized();
        view.reset();
        QCOMPARE(seen + settings.Read(SettingKey::kViewForm, SettingKey::kLeft, "-") + ',' +
                     settings.Read(SettingKey::kViewForm, SettingKey::kTop, "-"),
                 shown);
    }

    void messageBoxes_data() {
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << MsgIcon::None << MsgButtons::Ok << QMessageBox::Ok << "NoIcon 0";
        QTest::newRow("critical") << MsgIcon::Critical << MsgButtons::OkCancel
                                  << QMessageBox::Cancel << "Critical [ok/cancel] 1";
        QTest::newRow("exclamation") << MsgIcon::Exclamation << MsgButtons::OkCancel
                                     << QMessageBox::Ok << "Warning [ok/cancel] 0";
    }
    void messageBoxes() {
        QFETCH(MsgIcon, icon);
        QFETCH(MsgButtons, buttons);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(QString, shown);
        QString seen;
        ModalAnswer answer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = box->windowTitle() + ": " + box->text() + ' ' +
                   QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()) +
                   (box->button(QMessageBox::Cancel) ? " [ok/cancel]" : "");
            box->button(click)->click();
        });
        const MsgResult result = QtPrompts().MsgBox("text", "Title", icon, buttons);
        QCOMPARE(seen + ' ' + QString::number(int(result)), "Title: text " + shown);
    }

    void openDialog_data() {
        QTest::addColumn<QString>("start");  // below the folder
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("chosen");  // "-": cancelled
        QTest::newRow("folder, cancel") << "" << false << "-";
        QTest::newRow("file, accept") << "/old.hex" << true << "/old.hex";
        QTest::newRow("file, cancel") << "/old.hex" << false << "-";
    }
    void openDialog() {
        QFETCH(QString, start);
        QFETCH(bool, accept);
        QFETCH(QString, chosen);
        QTemporaryDir folder;
        QString shown;
        ModalAnswer answer([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            shown = dialog->directory().absolutePath() + ' ' + dialog->nameFilters().join(';') +
                    ' ' + dialog->selectedNameFilter();
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        const std::optional<QString> file =
            QtPrompts().OpenFile("Hex Files (*.hex);;All Files (*.*)", folder.path() + start);
        QCOMPARE(shown, folder.path() + " Hex Files (*.hex);All Files (*.*) Hex Files (*.hex)");
        QCOMPARE(file.value_or(folder.path() + '-'), folder.path() + chosen);
    }

    // A crashed run leaves its lock and its socket behind; the next start takes both over, and
    // a start after that is refused and raises it.
    void oneKestrelPerFolder() {
        QTemporaryDir folder;
        SingleInstance crashed(folder.path()), running(folder.path()), second(folder.path());
        QSignalSpy raised(&running, &SingleInstance::RaiseRequested);
        QVERIFY(crashed.Acquire());
        QFile lock(folder.path() + "/Kestrel.lock");
        QVERIFY(lock.remove() && lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.write("999999999\n") > 0);  // a process id that nothing has
        lock.close();
        QVERIFY(running.Acquire());
        QVERIFY(!second.Acquire());
        QVERIFY(raised.wait(5000));
    }
};

KESTREL_TEST_MAIN(tst_ShellParts)
#include "tst_shellparts.moc"
