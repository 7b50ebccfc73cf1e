#include "simfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "devicememory.h"
#include "intelhex.h"

namespace {
const QString kNotPlain = QStringLiteral("not a plain file");
const QString kLoadError = QStringLiteral("cannot load %1: %2");
const QString kDumpError = QStringLiteral("cannot write dump %1: %2");
const QString kOutside = QStringLiteral("%1:%2: words %3-%4 are no memory of the device");

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

bool IsPlainFile(const QString& path, QString& reason) {
    const int fd = OpenWithoutWaiting(path, O_RDONLY, reason);
    if (fd < 0) return false;
    struct stat info {};
    const bool plain = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!plain) reason = kNotPlain;
    return plain;
}

// Why the file cannot be read into memory, naming its line, or an empty text.
QString ReadInto(DeviceMemory& memory, const QString& path) {
    const IntelHex::Reading reading = IntelHex::Read(path);
    if (!reading.error.isEmpty()) return reading.error;
    if (!reading.outside.isEmpty()) {
        const IntelHex::Outside& first = reading.outside.first();
        return kOutside.arg(path)
            .arg(first.line)
            .arg(first.firstWord, 4, 16, QLatin1Char('0'))
            .arg(first.lastWord, 4, 16, QLatin1Char('0'));
    }
    memory.Load(reading.image);
    return {};
}
}  // namespace

QString SimFiles::LoadMemory(DeviceMemory& memory, const QString& path) {
    QString reason;
    if (!IsPlainFile(path, reason)) return kLoadError.arg(path, reason);
    return ReadInto(memory, path);
}

QString DumpFile::Open(const QString& path) {
    m_path = path;
    QString reason;
    const int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT, reason);
    if (fd < 0) return kDumpError.arg(path, reason);
    // From here on a write may wait, as for any file; a signal still ends the simulator.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) return {};
    return kDumpError.arg(m_path, m_file.errorString());
}

QString DumpFile::Save(const DeviceMemory& memory) {
    const QByteArray text = IntelHex::Text(memory.Image());
    // A device or a FIFO has no content to replace.
    const bool written = (m_file.isSequential() || m_file.resize(0)) &&
                         m_file.write(text) == text.size() && m_file.flush();
    const QString error = written ? QString() : kDumpError.arg(m_path, m_file.errorString());
    m_file.close();
    return error;
}
