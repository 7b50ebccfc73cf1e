#include "simsession.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cerrno>

SimSession::~SimSession() {
    m_notifier.reset();
    if (m_fd >= 0) ::close(m_fd);
    if (m_process.state() != QProcess::NotRunning) Terminate();
}

bool SimSession::Start(const QStringList& arguments) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimSession::Arrived);
    connect(&m_process, &QProcess::finished, this, &SimSession::Arrived);
    connect(&m_process, &QProcess::errorOccurred, this, &SimSession::Arrived);
    m_process.start(qEnvironmentVariable("KESTREL_SIM"),
                    QStringList{QStringLiteral("--link"), m_linkPath} + arguments);
    const auto settled = [this] {
        return Output().contains(QLatin1Char('\n')) || m_process.state() == QProcess::NotRunning;
    };
    if (!WaitFor(settled, std::chrono::seconds(10)) || m_process.state() == QProcess::NotRunning)
        return false;
    m_fd = ::open(QFile::encodeName(m_linkPath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    if (m_fd < 0 || tcgetattr(m_fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    tcsetattr(m_fd, TCSANOW, &settings);
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SimSession::ReadSlave);
    return true;
}

QByteArray SimSession::Ask(const QByteArray& frame, qsizetype expected) {
    using namespace std::chrono_literals;
    DiscardInput();
    Write(frame);
    const QString line = QStringLiteral("#%1 ").arg(++m_frames);
    WaitFor([&] { return Output().contains(line); }, 5s);
    WaitFor([&] { return m_received.size() >= expected; }, 5s);
    // Room for bytes beyond those expected.
    Pause(30ms);
    return m_received;
}

void SimSession::Write(const QByteArray& bytes) {
    // A pseudo-terminal takes a few frames whole; a short write would be a fault of the test.
    if (::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) m_hungUp = true;
}

void SimSession::DiscardInput() {
    tcflush(m_fd, TCIFLUSH);
    m_received.clear();
}

void SimSession::Pause(std::chrono::milliseconds wait) {
    QEventLoop loop;
    QTimer::singleShot(wait, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool SimSession::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return true;
    QEventLoop loop;
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    const auto check = connect(this, &SimSession::Arrived, &loop, [&] {
        if (done()) loop.quit();
    });
    loop.exec();
    disconnect(check);
    return done();
}

bool SimSession::Terminate() {
    m_process.terminate();
    WaitFor([this] { return m_process.state() == QProcess::NotRunning; }, std::chrono::seconds(10));
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QString SimSession::Output() {
    m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    return m_output;
}

void SimSession::ReadSlave() {
    char buffer[512];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count > 0) {
        if (m_received.isEmpty()) m_firstArrival = Clock::now();
        m_received.append(buffer, count);
    } else if (count == 0 || errno != EAGAIN) {
        m_hungUp = true;
        m_notifier->setEnabled(false);
    }
    emit Arrived();
}
