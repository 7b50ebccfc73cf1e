#pragma once

#include <QByteArray>
#include <QString>

// The far end of a pseudo-terminal: the test holds the master, the link opens the slave.
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool IsValid() const { return m_master >= 0; }
    int MasterFd() const { return m_master; }
    QString SlavePath() const { return m_slavePath; }
    // Makes the slave reachable as Com N of the current user.
    bool LinkAsCom(int portNumber) const;
    bool Write(const QByteArray& bytes) const;
    QByteArray ReadAvailable() const;
    // The peer hangs up, as an adapter pulled out of its socket.
    void CloseMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};
