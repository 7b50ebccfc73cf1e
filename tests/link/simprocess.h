#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

// kestrel-sim serving Com 1 of the current user, with the lines it prints collected.
class SimProcess : public QObject {
    Q_OBJECT
public:
    explicit SimProcess(const QStringList& options);
    ~SimProcess() override;

    static QString Program();  // from $KESTREL_SIM; empty when unset
    // Starts it and waits (at most five seconds) for its ready line.
    bool Start();
    // Waits (at most five seconds) until it has exited on its own; true when it exited with 0.
    bool WaitForExit();
    QStringList Lines() const { return m_lines; }
    int RequestFrames() const;  // frames it reported, served or not

private:
    void ReadLines();

    QStringList m_options;
    QProcess m_process;
    QStringList m_lines;
    bool m_ready = false;
};
