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
    const QString link = LinkPath(portNumber);
    if (QFileInfo::exists(link)) return link;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

}  // namespace PortPath
