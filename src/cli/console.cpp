#include "console.h"

#include <unistd.h>

#include <cstdio>

namespace {
constexpr int kBarWidth = 30;
constexpr qint64 kRedrawMs = 100;

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
}  // namespace

Console::Progress Console::ProgressFor(bool quiet) {
    if (quiet) return Progress::Off;
    return ::isatty(STDERR_FILENO) ? Progress::Bar : Progress::Lines;
}

void Console::Result(const QString& line) {
    if (!m_json) Print(stdout, line + QLatin1Char('\n'));
}

void Console::Message(const QString& line) {
    if (m_drawn) Print(stderr, QStringLiteral("\n"));
    m_drawn = false;
    Print(stderr, line + QLatin1Char('\n'));
}

void Console::Begin(const QString& label, int total) {
    Finish();
    m_label = label;
    m_total = total;
    m_done = 0;
    m_started.start();
    if (m_progress == Progress::Lines) Print(stderr, label + QLatin1Char('\n'));
    if (m_progress == Progress::Bar) DrawBar(0);
}

void Console::Advance(int done) {
    if (m_label.isEmpty() || done <= m_done) return;
    const bool last = done >= m_total;
    m_done = done;
    if (m_progress == Progress::Lines && last)
        Print(stderr, QStringLiteral("%1 %2/%3\n").arg(m_label).arg(done).arg(m_total));
    if (m_progress == Progress::Bar && (last || m_started.elapsed() - m_drawnAt >= kRedrawMs))
        DrawBar(done);
}

void Console::Finish() {
    if (m_drawn) Print(stderr, QStringLiteral("\n"));
    m_drawn = false;
    m_label.clear();
}

void Console::DrawBar(int done) {
    m_drawn = true;
    if (m_total == 0) {
        Print(stderr, QStringLiteral("\r") + m_label);
        return;
    }
    const int filled = m_total > 0 ? kBarWidth * done / m_total : kBarWidth;
    const qint64 elapsed = m_started.elapsed();
    const qint64 left = done > 0 ? elapsed * (m_total - done) / done : 0;
    Print(stderr, QStringLiteral("\r%1 [%2%3] %4/%5 %6 left")
                      .arg(m_label, QString(filled, QLatin1Char('#')),
                           QString(kBarWidth - filled, QLatin1Char('.')))
                      .arg(done)
                      .arg(m_total)
                      .arg(TimeLeft(left)));
    m_drawnAt = elapsed;
}

QString Console::TimeLeft(qint64 msLeft) {
    const qint64 seconds = (msLeft + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
