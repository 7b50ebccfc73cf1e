#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns the first SIGTERM or SIGINT into a Qt signal on the event loop, so that a program ends
// cleanly; a second one ends it at once. Nothing is blocked: a signal that comes while the
// program waits in a system call (a write to a full pipe) breaks that wait.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    // SIGTERM or SIGINT.
    void Terminated(int signal);

private:
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};
