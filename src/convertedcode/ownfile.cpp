#include "ownfile.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
bool CreateOwnFile(QFile& file, const QString& path) {
    file.setFileName(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}
#else
namespace {
bool IsOwnFile(const struct stat& info) {
    return S_ISREG(info.st_mode) && info.st_uid == geteuid() && info.st_nlink == 1;
}
}  // namespace

bool CreateOwnFile(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    // A device is not even opened; a FIFO slipped in after this look must not hold the import.
    if (::lstat(name.constData(), &info) == 0 && !IsOwnFile(info)) return false;
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // Emptied only once it is known to be the file looked at.
    if (::fstat(fd, &info) != 0 || !IsOwnFile(info) || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    return file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
}
#endif
