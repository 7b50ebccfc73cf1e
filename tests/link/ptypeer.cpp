#include "ptypeer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "portmap.h"

PtyPeer::PtyPeer() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) return;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        ::close(master);
        return;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(master));
    // Raw, so that 0x04, 0x0F, CR and LF pass untouched before the port sets its own mode.
    const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave >= 0 && tcgetattr(slave, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
    }
    if (slave >= 0) ::close(slave);
    m_master = master;
}

PtyPeer::~PtyPeer() {
    CloseMaster();
}

bool PtyPeer::LinkAsCom(int portNumber) const {
    const QString link = PortMap::LinkFolder() + QStringLiteral("/com%1").arg(portNumber);
    QDir().mkpath(PortMap::LinkFolder());
    QFile::remove(link);
    return QFile::link(m_slavePath, link);
}

bool PtyPeer::Write(const QByteArray& bytes) const {
    return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

QByteArray PtyPeer::ReadAvailable() const {
    QByteArray bytes;
    char buffer[256];
    ssize_t count = 0;
    while ((count = ::read(m_master, buffer, sizeof buffer)) > 0) bytes.append(buffer, count);
    return bytes;
}

void PtyPeer::CloseMaster() {
    if (m_master < 0) return;
    ::close(m_master);
    m_master = -1;
}
