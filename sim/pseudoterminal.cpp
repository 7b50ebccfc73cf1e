#include "pseudoterminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}
}  // namespace

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::Open(QString& error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = SystemError("pseudo-terminal");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    termios settings{};
    // Raw, so that 0x04, 0x0F, CR and LF pass untouched.
    if (m_slave < 0 || tcgetattr(m_slave, &settings) != 0) {
        error = SystemError("slave device");
        return false;
    }
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    tcsetattr(m_slave, TCSANOW, &settings);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PseudoTerminal::ReadAvailable);
    return true;
}

void PseudoTerminal::Close() {
    m_notifier.reset();
    m_link.Remove();
    if (m_slave >= 0) ::close(std::exchange(m_slave, -1));
    if (m_master >= 0) ::close(std::exchange(m_master, -1));
}

void PseudoTerminal::Write(const QByteArray& bytes) {
    if (m_master < 0) return;
    // Replies are a few dozen bytes that the pseudo-terminal buffer takes whole; one the host
    // never reads is lost, as on a real line.
    const ssize_t written = ::write(m_master, bytes.constData(), size_t(bytes.size()));
    Q_UNUSED(written);
}

void PseudoTerminal::ReadAvailable() {
    char buffer[4096];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count > 0) {
        emit Received(QByteArray(buffer, count));
    } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
        // Cannot happen while the slave is held open; stop rather than spin on it.
        m_notifier->setEnabled(false);
    }
}
