#include "simfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
const QString kNotPlain = QStringLiteral("not a plain file");

QString SystemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opened without waiting for the other end of a FIFO; false with the reason.
int OpenWithoutWaiting(const QString& path, int flags, QString& reason) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) reason = SystemReason();
    return fd;
}
}  // namespace

bool SimFiles::CheckInput(const QString& path, QString& reason) {
    const int fd = OpenWithoutWaiting(path, O_RDONLY, reason);
    if (fd < 0) return false;
    struct stat info {};
    const bool plain = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!plain) reason = kNotPlain;
    return plain;
}

bool DumpFile::Open(const QString& path, QString& reason) {
    const int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT, reason);
    if (fd < 0) return false;
    // From here on a write may wait, as for any file; a signal still ends the simulator.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
}

bool DumpFile::Write(const QByteArray& text, QString& reason) {
    // A device or a FIFO has no content to replace.
    const bool written = (m_file.isSequential() || m_file.resize(0)) &&
                         m_file.write(text) == text.size() && m_file.flush();
    if (!written) reason = m_file.errorString();
    m_file.close();
    return written;
}
