#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "barewindow.h"
#include "qtprompts.h"
#include "testmain.h"

// The window without a mouse: the port panel by keyboard and screen reader, and what the
// file dialog lists.
class tst_ShellAccess : public QObject {
    Q_OBJECT
public:
    explicit tst_ShellAccess(TestEnvironment&) {}

private slots:
    void portPanelByKeyboard_data();
    void portPanelByKeyboard();
    void allFilesListsNamesWithoutDot();

private:
};

// Tab reaches the port panel; a key or a screen reader's press opens the Ports pop-up.
void tst_ShellAccess::portPanelByKeyboard_data() {
    QTest::addColumn<int>("key");  // none: the screen reader presses the panel
    QTest::addColumn<bool>("opens");
    QTest::newRow("Return") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << true;
    QTest::newRow("a letter") << int(Qt::Key_C) << false;
    QTest::newRow("screen reader") << 0 << true;
}

void tst_ShellAccess::portPanelByKeyboard() {
    QFETCH(int, key);
    QFETCH(bool, opens);
    BareWindow bare;
    frmMain& window = bare.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* port = window.findChild<QLabel*>(QStringLiteral("Port"));
    port->clearFocus();
    QTest::keyClick(&window, Qt::Key_Tab);
    QVERIFY(port->hasFocus());
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(port);
    QCOMPARE(reader->role(), QAccessible::Button);
    QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Com 1"));
    if (key)
        QTest::keyClick(port, Qt::Key(key));
    else
        reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    auto* ports = window.findChild<QMenu*>(QStringLiteral("mnuPorts"));
    QCOMPARE(ports->isVisible(), opens);
    ports->hide();
}

void tst_ShellAccess::allFilesListsNamesWithoutDot() {
    QTemporaryDir folder;
    for (const char* name : {"README", "blink.hex"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QString caption;
    bool hexOnly = false;
    bool all = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        const auto* model = dialog->findChild<QFileSystemModel*>();
        const auto lists = [&](const char* name) {
            const QModelIndex root = model->index(folder.path());
            for (int row = 0; row < model->rowCount(root); ++row)
                if (model->index(row, 0, root).data().toString() == QLatin1String(name))
                    return true;
            return false;
        };
        hexOnly = QTest::qWaitFor([&] { return lists("blink.hex"); }) && !lists("README");
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QTest::keyClick(types, Qt::Key_End);
        caption = types->currentText();
        all = QTest::qWaitFor([&] { return lists("README") && lists("blink.hex"); });
        dialog->reject();
    });
    QtPrompts prompts;
    QCOMPARE(prompts.OpenFile(QStringLiteral("Hex Files (*.hex);;All Files (*.*)"), folder.path()),
             std::nullopt);
    QVERIFY(hexOnly);
    QCOMPARE(caption, QStringLiteral("All Files (*.*)"));
    QVERIFY(all);
}

KESTREL_TEST_MAIN(tst_ShellAccess)
#include "tst_shellaccess.moc"
