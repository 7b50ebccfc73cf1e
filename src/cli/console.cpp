#include "console.h"

#include "screen.h"

namespace {
constexpr int kBarWidth = 30;

QString TimeLeft(qint64 msLeft) {
    const qint64 seconds = (msLeft + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
}  // namespace

Console::Console(Screen& screen, QString board, bool json, bool verbose)
    : m_screen(screen), m_board(std::move(board)), m_json(json), m_verbose(verbose) {}

void Console::Result(const QString& line) {
    if (!m_json) m_screen.Out((Named(line) + QLatin1Char('\n')).toLocal8Bit());
}

void Console::Message(const QString& line) {
    m_messages.append(line);
    m_screen.Err(Named(line));
}

void Console::Verbose(const QString& line) {
    if (m_verbose) Message(line);
}

void Console::Begin(const QString& label, int total, int done) {
    if (m_board.isEmpty()) Finish();
    m_label = label;
    m_total = total;
    m_done = done;
    m_from = done;
    m_tenths = total > 0 ? 10 * done / total : 0;
    m_started.start();
    if (m_screen.Mode() != Screen::Progress::Bar) return;
    if (m_line < 0) m_line = m_screen.AddLine();
    ShowLine(true);
}

void Console::Advance(int done) {
    if (m_label.isEmpty() || done <= m_done) return;
    m_done = done;
    const int tenths = m_total > 0 ? 10 * done / m_total : 0;
    if (m_screen.Mode() == Screen::Progress::Lines && tenths > m_tenths)
        m_screen.Err(Named(
            QStringLiteral("%1 %2% (%3/%4)").arg(m_label).arg(10 * tenths).arg(done).arg(m_total)));
    m_tenths = tenths;
    if (m_line >= 0) ShowLine(done >= m_total);
}

void Console::Finish() {
    m_label.clear();
    // The only board's bar stays on a line of its own; several keep their lines to the end.
    if (m_board.isEmpty() && m_line >= 0) m_screen.Close();
    if (m_board.isEmpty()) m_line = -1;
}

void Console::Settle(const QString& text) {
    m_label.clear();
    if (m_screen.Mode() != Screen::Progress::Bar) return;
    if (m_line < 0) m_line = m_screen.AddLine();
    m_screen.Show(m_line, Named(text), true);
}

// Under a board's name, that name stands for the program's.
QString Console::Named(const QString& line) const {
    static const QString program = QStringLiteral("kestrel-cli: ");
    if (m_board.isEmpty()) return line;
    return m_board + QStringLiteral(": ") +
           (line.startsWith(program) ? line.mid(program.size()) : line);
}

QString Console::Bar() const {
    if (m_total == 0) return m_label;
    const int filled = kBarWidth * m_done / m_total;
    const qint64 elapsed = m_started.elapsed();
    const qint64 left = m_done > m_from ? elapsed * (m_total - m_done) / (m_done - m_from) : 0;
    return QStringLiteral("%1 [%2%3] %4/%5 %6 left")
        .arg(m_label, QString(filled, QLatin1Char('#')),
             QString(kBarWidth - filled, QLatin1Char('.')))
        .arg(m_done)
        .arg(m_total)
        .arg(m_done > m_from ? TimeLeft(left) : QStringLiteral("-:--"));
}

void Console::ShowLine(bool now) {
    m_screen.Show(m_line, Named(Bar()), now);
}
