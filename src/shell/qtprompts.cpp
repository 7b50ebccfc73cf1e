#include "qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Qt matches "*.*" literally, which hides names without a dot; the entry keeps its caption
// but lists every file. The dialog has set its own patterns by the time the signal comes.
void ShowEveryFileForStarDotStar(QFileDialog& dialog) {
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) {
                         auto* model = dialog.findChild<QFileSystemModel*>();
                         if (model && chosen.endsWith(QLatin1String("(*.*)")))
                             model->setNameFilters({QStringLiteral("*")});
                     });
}

}  // namespace

MsgResult QtPrompts::MsgBox(const QString& text, const QString& title, MsgIcon icon,
                            MsgButtons buttons) {
    const QMessageBox::StandardButtons standard =
        buttons == MsgButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    QMessageBox box(ToQt(icon), title, text, standard, QApplication::activeWindow());
    return box.exec() == QMessageBox::Cancel ? MsgResult::Cancel : MsgResult::Ok;
}

std::optional<QString> QtPrompts::OpenFile(const QString& filter, const QString& startLocation) {
    // Qt's own dialog, so that every control is reachable through accessibility; any typed
    // name is accepted, because the import reports a missing file itself.
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Open"), QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    ShowEveryFileForStarDotStar(dialog);
    const QFileInfo start(startLocation);
    if (start.isDir()) {
        dialog.setDirectory(start.absoluteFilePath());
    } else {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
