#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

namespace {
const QString kCannotCreate = QStringLiteral("it cannot be created (%1)");
const QString kCannotWrite = QStringLiteral("it cannot be written (%1)");
}  // namespace

namespace ProgramFolder {

QString Resolve(const QString& exeFolder) {
    const bool installed =
        QFileInfo::exists(exeFolder + QStringLiteral("/" KESTREL_INSTALL_MARKER));
    if (!installed && QFileInfo(exeFolder).isWritable()) return exeFolder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kestrel");
}

bool Prepare(const QString& folder, QString& reason) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (error) {
        reason = kCannotCreate.arg(QString::fromLocal8Bit(error.message()));
        return false;
    }
    QTemporaryFile probe(folder + QStringLiteral("/Kestrel-XXXXXX"));
    if (!probe.open()) {
        reason = kCannotWrite.arg(probe.errorString());
        return false;
    }
    return true;
}

}  // namespace ProgramFolder
