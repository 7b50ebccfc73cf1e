#pragma once

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QEventLoop>
#include <QProcess>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <memory>

#include "framecodec.h"

inline const auto Hex = [](const QByteArray& text) { return QByteArray::fromHex(text); };
inline const auto Build = [](const QByteArray& payload) { return Frame::Build(Hex(payload)); };
inline const QByteArray kVersionReply = Hex("0F0002000104FD");

// One kestrel-sim process and the test's raw end of its pseudo-terminal.
class SimSession {
public:
    using Clock = std::chrono::steady_clock;

    explicit SimSession(QString link) : m_link(std::move(link)) {}
    ~SimSession() {
        m_notifier.reset();
        if (m_fd >= 0) ::close(m_fd);
        Terminate();
    }

    // False when the simulator exited or never printed its ready line.
    bool Start(const QStringList& arguments) {
        process.start(qEnvironmentVariable("KESTREL_SIM"),
                      QStringList{"--link", m_link} + arguments);
        const auto running = [&] { return process.state() != QProcess::NotRunning; };
        if (!QTest::qWaitFor([&] { return !running() || Output().contains('\n'); }, 10000) ||
            !running())
            return false;
        m_fd = ::open(m_link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0) return false;  // raw mode is the simulator's to set
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            char buffer[512];
            const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
            if (count > 0) {
                if (received.isEmpty()) firstArrival = Clock::now();
                received.append(buffer, count);
            } else if (count == 0 || errno != EAGAIN) {
                hungUp = true;
                m_notifier->setEnabled(false);
            }
        });
        return true;
    }

    // Drops what came so far and writes the frame, which a pseudo-terminal takes whole.
    void Send(const QByteArray& frame) {
        tcflush(m_fd, TCIFLUSH);
        received.clear();
        if (::write(m_fd, frame.constData(), size_t(frame.size())) != frame.size()) hungUp = true;
    }

    // What came back once the simulator logged the frame and `expected` bytes (or more) arrived.
    QByteArray Ask(const QByteArray& frame, qsizetype expected) {
        Send(frame);
        const QString line = QStringLiteral("#%1 ").arg(++m_frames);
        // Then a little longer, for bytes beyond those expected.
        if (QTest::qWaitFor([&] { return Output().contains(line) && received.size() >= expected; }))
            Pause(std::chrono::milliseconds(30));
        return received;
    }

    // A precise timer, so arrivals near a deadline get their true time.
    static void Pause(std::chrono::milliseconds wait) {
        QEventLoop loop;
        QTimer::singleShot(wait, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // SIGTERM; true when it then exited 0.
    bool Terminate() {
        process.terminate();
        process.waitForFinished(10000);
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QString Output() {
        m_output += QString::fromLocal8Bit(process.readAllStandardOutput());
        return m_output;
    }

    QProcess process;
    QByteArray received;
    Clock::time_point firstArrival{};  // of the first byte since the last discard
    bool hungUp = false;

private:
    QString m_link;
    QString m_output;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_frames = 0;
};
