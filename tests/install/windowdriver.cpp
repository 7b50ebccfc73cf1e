// Loaded into an installed Kestrel with LD_PRELOAD, so that a test plays its real window: File >
// Import Hex of KESTREL_DRIVE_IMPORT through the real dialog; it then prints the folders that
// hold the converted code and closes the window. A message box that holds the start-up is
// printed and closed instead.
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {
void AnswerModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) std::printf("%s\n", qPrintable(box->text()));
    if (auto* dialog = qobject_cast<QFileDialog*>(modal))
        dialog->selectFile(qEnvironmentVariable("KESTREL_DRIVE_IMPORT"));
    if (modal) static_cast<QDialog*>(modal)->accept();
}

void Drive() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto main = std::find_if(windows.cbegin(), windows.cend(),
                                   [](QWidget* w) { return w->objectName() == "frmMain"; });
    if (main == windows.cend()) return AnswerModal();
    QWidget* window = *main;
    QTimer::singleShot(0, AnswerModal);
    window->findChild<QAction*>(QStringLiteral("mnuImportHexFile"))->trigger();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& folder : {QApplication::applicationDirPath(), data + "/Kestrel"})
        if (QFile::exists(folder + "/Flash.hx")) std::printf("in %s\n", qPrintable(folder));
    window->close();
}

void Start() {
    QTimer::singleShot(0, Drive);
}
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
