#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

// kestrel-sim as a child process in HOME (on Com 1 unless the options give a port),
// with the lines it prints collected. It dies with the test, whatever way the test ends.
class SimProcess : public QObject {
    Q_OBJECT
public:
    explicit SimProcess(const QStringList& options);
    ~SimProcess() override;

    // Starts it and waits (at most ten seconds) for its ready line.
    bool Start();
    // Waits (at most ten seconds, or the given time) for a printed line starting with the prefix.
    bool WaitForLine(const QString& prefix, int patienceMs = 10000);
    // SIGTERM, then waits for the exit; true when it exited with 0.
    bool Stop() {
        m_process.terminate();
        return WaitForExit();
    }
    // Waits (at most ten seconds) until it has exited on its own; true when it exited with 0.
    bool WaitForExit();
    QStringList Lines() const { return m_lines; }

private:
    void ReadLines();

    QStringList m_options;
    QProcess m_process;
    QStringList m_lines;
};
