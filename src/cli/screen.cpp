#include "screen.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
constexpr qint64 kRedrawMs = 100;
constexpr int kDefaultColumns = 80;

int Columns() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col
                                                                             : kDefaultColumns;
}

void Put(FILE* stream, const QByteArray& bytes) {
    std::fputs(bytes.constData(), stream);
    std::fflush(stream);
}
}  // namespace

Screen::Progress Screen::ProgressFor(bool quiet) {
    if (quiet) return Progress::Off;
    return ::isatty(STDERR_FILENO) ? Progress::Bar : Progress::Lines;
}

void Screen::Out(const QByteArray& bytes) {
    Erase();
    if ((std::fputs(bytes.constData(), stdout) < 0 || std::fflush(stdout) != 0) &&
        m_outputError.isEmpty())
        m_outputError = QString::fromLocal8Bit(std::strerror(errno));
    Draw();
}

void Screen::Err(const QString& line) {
    Erase();
    Put(stderr, (line + QLatin1Char('\n')).toLocal8Bit());
    Draw();
}

int Screen::AddLine() {
    m_lines.append(QString());
    return int(m_lines.size() - 1);
}

void Screen::Show(int line, const QString& text, bool now) {
    if (m_progress != Progress::Bar) return;
    m_lines[line] = text;
    if (!now && m_clock.elapsed() - m_drawnAt < kRedrawMs) return;
    Erase();
    Draw();
}

void Screen::Close() {
    if (m_drawn > 0) Put(stderr, "\n");
    m_drawn = 0;
    m_lines.clear();
}

// The cursor ends at the start of the first progress line, with the lines cleared.
void Screen::Erase() {
    if (m_drawn == 0) return;
    QByteArray bytes = "\r\033[K";
    for (int i = 1; i < m_drawn; ++i) bytes += "\033[A\033[K";
    Put(stderr, bytes);
    m_drawn = 0;
}

// The lines cut to the terminal's width, so that none wraps and each can be reached again;
// the cursor stays at the end of the last.
void Screen::Draw() {
    if (m_progress != Progress::Bar || m_lines.isEmpty() || m_drawn > 0) return;
    const int width = Columns() - 1;
    QStringList cut;
    for (const QString& line : m_lines) cut.append(line.left(width));
    Put(stderr, cut.join(QLatin1Char('\n')).toLocal8Bit());
    m_drawn = int(m_lines.size());
    m_drawnAt = m_clock.elapsed();
}
