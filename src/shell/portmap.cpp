#include "portmap.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace PortMap {

QString LinkFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kestrel/ports");
}

QString DeviceName(int portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QString link = LinkFolder() + QStringLiteral("/com%1").arg(portNumber);
    if (QFileInfo::exists(link)) return link;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

}  // namespace PortMap
