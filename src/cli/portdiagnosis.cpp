#include "portdiagnosis.h"

#include <unistd.h>

#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>

namespace PortDiagnosis {

namespace {
const QString kReady = QStringLiteral("ready");
const QString kMissing = QStringLiteral("missing");
const QString kDangling = QStringLiteral("dangling link to %1");
const QString kNoPermission = QStringLiteral(
    "no permission (serial devices belong to the dialout group: "
    "sudo usermod -aG dialout $USER, then log in again)");
const QString kBusy = QStringLiteral("busy (another program has it open)");
const QString kCannotOpen = QStringLiteral("cannot be opened: %1");
}  // namespace

QString Of(const QString& device) {
    const QFileInfo info(device);
    if (info.isSymLink() && !info.exists()) return kDangling.arg(info.symLinkTarget());
    if (!info.exists()) return kMissing;
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return kNoPermission;
    QSerialPort port(device);
    if (port.open(QIODevice::ReadWrite)) return kReady;
    // Readable and writable, yet refused: someone else holds it.
    if (port.error() == QSerialPort::PermissionError) return kBusy;
    return kCannotOpen.arg(port.errorString());
}

}  // namespace PortDiagnosis
