#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace {

// Local socket names live in one namespace for the whole machine: name it after the folder.
QString ServerName(const QString& programFolder) {
    const QByteArray path = QDir(programFolder).absolutePath().toUtf8();
    return QStringLiteral("Kestrel-") +
           QString::fromLatin1(
               QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32));
}

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent),
      m_lock(programFolder + QStringLiteral("/Kestrel.lock")),
      m_serverName(ServerName(programFolder)) {
    // Kestrel runs for hours: only a dead owner makes the lock stale, never its age.
    m_lock.setStaleLockTime(0);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) socket->deleteLater();
        emit RaiseRequested();
    });
}

SingleInstance::Claim SingleInstance::Acquire() {
    if (m_lock.tryLock(0)) {
        // A socket left by a crashed run would block the name; the lock says it is ours now.
        QLocalServer::removeServer(m_serverName);
        m_server.listen(m_serverName);
        return Claim::Held;
    }
    // A lock that is not stale names a live Kestrel; one that cannot be read names nobody.
    if (m_lock.error() != QLockFile::LockFailedError ||
        !m_lock.getLockInfo(nullptr, nullptr, nullptr))
        return Claim::Unusable;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    return Claim::Running;
}
