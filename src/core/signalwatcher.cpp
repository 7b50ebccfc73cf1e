#include "signalwatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {
int g_wakeFd = -1;

void OnSignal(int signal) {
    const int saved = errno;
    const char number = char(signal);
    const ssize_t written = ::write(g_wakeFd, &number, 1);
    (void)written;
    errno = saved;
}
}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (::pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    g_wakeFd = m_pipe[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;  // and no SA_RESTART: a waiting call returns
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        m_notifier->setEnabled(false);
        char number = 0;
        const ssize_t read = ::read(m_pipe[0], &number, 1);
        emit Terminated(read == 1 ? int(number) : SIGTERM);
    });
}

SignalWatcher::~SignalWatcher() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    m_notifier.reset();
    for (const int fd : m_pipe)
        if (fd >= 0) ::close(fd);
}
