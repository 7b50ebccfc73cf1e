#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

// The simulator's end of the serial line: a raw pseudo-terminal whose slave device is linked
// where the program looks for its port.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr) : QObject(parent) {}
    ~PseudoTerminal() override;

    // Opens the pair and links the slave at linkPath; false with the reason in error.
    bool Open(const QString& linkPath, QString& error);
    // Pulls the adapter out: the host sees a hang-up; the link goes too.
    void Close();
    QString SlavePath() const { return m_slavePath; }
    void Write(const QByteArray& bytes);

signals:
    void Received(const QByteArray& bytes);

private:
    void ReadAvailable();
    bool MakeLink(const QString& linkPath, QString& error);

    int m_master = -1;
    int m_slave = -1;  // held open so the master never reports a hang-up while the host is away
    QString m_slavePath;
    QString m_linkPath;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
