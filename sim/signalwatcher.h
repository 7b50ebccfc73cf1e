#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGTERM and SIGINT into a Qt signal on the event loop. BlockSignals() must run in
// main() before any thread starts, so that no thread takes the signals itself.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    static void BlockSignals();

    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void Terminated();

private:
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
