#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QSocketNotifier>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

// One kestrel-sim process and the test's raw end of its pseudo-terminal.
class SimSession : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit SimSession(QString linkPath) : m_linkPath(std::move(linkPath)) {}
    ~SimSession() override;

    // Starts the simulator on the link and opens the slave; false if it never got ready.
    bool Start(const QStringList& arguments);
    // Sends one frame, waits until the simulator has printed its line and the expected number
    // of bytes came (or a while), and returns what came back.
    QByteArray Ask(const QByteArray& frame, qsizetype expected);
    void Write(const QByteArray& bytes);
    void DiscardInput();
    // Runs the event loop for the given time (also to collect replies).
    static void Pause(std::chrono::milliseconds wait);
    // Runs the event loop until done() holds (checked on every arrival and output), or time is up.
    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // SIGTERM, then waits for the exit; true when it exited 0.
    bool Terminate();

    const QByteArray& Received() const { return m_received; }
    // When the first byte since the last discard came in.
    Clock::time_point FirstArrival() const { return m_firstArrival; }
    bool HungUp() const { return m_hungUp; }
    QProcess& Process() { return m_process; }
    QString Output();

signals:
    void Arrived();

private:
    void ReadSlave();

    QString m_linkPath;
    QProcess m_process;
    QString m_output;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_received;
    int m_frames = 0;
    Clock::time_point m_firstArrival{};
    bool m_hungUp = false;
};
