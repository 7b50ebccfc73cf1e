#include "portlink.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {
const QString kServed = QStringLiteral("%1 is served by another kestrel-sim (process %2)");
const QString kLockInTheWay = QStringLiteral("%1 cannot be made or is not a simulator's lock");
const QString kTaken = QStringLiteral("%1 is already there (%2) and is left as it is");
const QString kLinkError = QStringLiteral("cannot link %1: %2");

QString WhatIsAt(const QFileInfo& info) {
    if (info.isSymLink()) return QStringLiteral("a link to %1").arg(info.symLinkTarget());
    if (info.isDir()) return QStringLiteral("a folder");
    if (info.isFile()) return QStringLiteral("a file");
    return QStringLiteral("a special file");
}
}  // namespace

bool PortLink::Create(const QString& path, const QString& target, QString& error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // only a simulator that has ended leaves a stale lock
    qint64 pid = 0;
    QString host, name;
    const auto bySimulator = [&] {
        return lock->getLockInfo(&pid, &host, &name) && name == QCoreApplication::applicationName();
    };
    // Looked at before the lock is taken: taking it over removes what a dead one left.
    const bool leftBySimulator = bySimulator();
    if (!lock->tryLock(0)) {
        const bool served = lock->error() == QLockFile::LockFailedError && bySimulator();
        error = served ? kServed.arg(path).arg(pid) : kLockInTheWay.arg(lock->fileName());
        return false;
    }
    if (!Place(path, target, leftBySimulator, error)) return false;
    m_path = path;
    m_target = target;
    m_lock = std::move(lock);
    return true;
}

bool PortLink::Place(const QString& path, const QString& target, bool leftBySimulator,
                     QString& error) const {
    const QFileInfo existing(path);
    const QByteArray name = QFile::encodeName(path);
    if (existing.isSymLink() && leftBySimulator) {
        ::unlink(name.constData());
    } else if (existing.exists() || existing.isSymLink()) {
        error = kTaken.arg(path, WhatIsAt(existing));
        return false;
    }
    // Fails rather than replaces when something came meanwhile.
    if (::symlink(QFile::encodeName(target).constData(), name.constData()) != 0) {
        error = kLinkError.arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

void PortLink::Remove() {
    if (!m_lock) return;
    // A link put in its place meanwhile is not this one's to remove.
    const QFileInfo link(m_path);
    if (link.isSymLink() && link.symLinkTarget() == m_target) QFile::remove(m_path);
    m_lock.reset();  // unlocks, which removes the lock
}
