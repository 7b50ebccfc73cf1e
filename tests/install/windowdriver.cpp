// Loaded into an installed Kestrel with LD_PRELOAD, so that a test can play its real window:
// File > Import Hex of the file named by KESTREL_DRIVE_IMPORT through the real dialog, then
// prints the folders that hold the converted code and closes the window. A message box that
// holds the start-up is printed and closed instead.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

void Print(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void AnswerModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        dialog->selectFile(qEnvironmentVariable("KESTREL_DRIVE_IMPORT"));
        static_cast<QDialog*>(dialog)->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        Print(QStringLiteral("message: ") + box->text());
        box->accept();
    }
}

QWidget* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("frmMain")) return widget;
    return nullptr;
}

void Drive() {
    QWidget* window = MainWindow();
    if (!window) return AnswerModal();
    QTimer::singleShot(0, AnswerModal);
    window->findChild<QAction*>(QStringLiteral("mnuImportHexFile"))->trigger();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& folder :
         {QApplication::applicationDirPath(), data + QStringLiteral("/Kestrel")}) {
        if (QFile::exists(folder + QStringLiteral("/Flash.hx")))
            Print(QStringLiteral("converted code in ") + folder);
    }
    window->close();
}

void Start() {
    QTimer::singleShot(0, Drive);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
