#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

// Standard output and error as every board of a run shares them: results on standard output,
// messages on standard error and, on a terminal, below the messages, one progress line per
// board, redrawn in place. A result that cannot be written is kept to be reported at the end.
class Screen {
public:
    enum class Progress { Bar, Lines, Off };

    explicit Screen(Progress progress) : m_progress(progress) { m_clock.start(); }
    // Bar on a terminal, lines elsewhere; Off when quiet.
    static Progress ProgressFor(bool quiet);
    Progress Mode() const { return m_progress; }

    void Out(const QByteArray& bytes);
    void Err(const QString& line);

    // A progress line of its own, empty until shown.
    int AddLine();
    // Redrawn at once when `now`, else at most ten times a second.
    void Show(int line, const QString& text, bool now);
    // The progress lines stay as they are, and what follows goes below them.
    void Close();

    // Why a result could not be written, or an empty text.
    QString OutputError() const { return m_outputError; }

private:
    void Erase();
    void Draw();

    Progress m_progress;
    QStringList m_lines;
    int m_drawn = 0;  // progress lines on the terminal now
    qint64 m_drawnAt = -1;
    QElapsedTimer m_clock;
    QString m_outputError;
};
