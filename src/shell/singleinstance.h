#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

// One Kestrel per program folder, since the converted code files there are shared: a second
// start finds the folder's lock taken, asks the running one to come forward and gives up.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);

    enum class Claim {
        Held,      // no other Kestrel holds the folder (a lock left by a dead one is taken over)
        Running,   // another one does, and has been asked to raise its window
        Unusable,  // the lock can be neither made nor read: no Kestrel can be behind it
    };
    Claim Acquire();

signals:
    void RaiseRequested();

private:
    QLockFile m_lock;
    const QString m_serverName;
    QLocalServer m_server;
};
