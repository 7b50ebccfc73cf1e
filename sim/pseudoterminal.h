#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

#include "portlink.h"

// The simulator's end of the serial line: a raw pseudo-terminal whose slave device is linked
// where the program looks for its port.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr) : QObject(parent) {}
    ~PseudoTerminal() override;

    // Opens the pair; false with the reason in error.
    bool Open(QString& error);
    // Links the slave where the host looks for its port; false with the reason in error.
    bool Link(const QString& path, QString& error) {
        return m_link.Create(path, m_slavePath, error);
    }
    // Pulls the adapter out: the host sees a hang-up; the link goes too.
    void Close();
    QString SlavePath() const { return m_slavePath; }
    void Write(const QByteArray& bytes);

signals:
    void Received(const QByteArray& bytes);

private:
    void ReadAvailable();

    int m_master = -1;
    int m_slave = -1;  // held open so the master never reports a hang-up while the host is away
    QString m_slavePath;
    PortLink m_link;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
