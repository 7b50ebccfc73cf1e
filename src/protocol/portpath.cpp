#include "portpath.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace PortPath {

QString LinkPath(int portNumber) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kestrel/ports/com%1").arg(portNumber);
}

QString DeviceName(int portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    // An entry is Com N even when it dangles (its adapter unplugged): opening it must fail
    // rather than reach whatever device /dev/ttyS<N-1> is.
    const QFileInfo link(LinkPath(portNumber));
    if (link.exists() || link.isSymLink()) return link.filePath();
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

}  // namespace PortPath
