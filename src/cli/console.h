#pragma once

#include <QElapsedTimer>
#include <QString>

// Standard output and error as the command line uses them: results on stdout (none with
// --json), messages on stderr, and progress on stderr as a bar on a terminal, as plain lines
// elsewhere, or not at all with --quiet.
class Console {
public:
    enum class Progress { Bar, Lines, Off };

    Console(Progress progress, bool json) : m_progress(progress), m_json(json) {}
    // Bar on a terminal, lines elsewhere; Off when quiet.
    static Progress ProgressFor(bool quiet);

    void Result(const QString& line);
    void Message(const QString& line);

    void Begin(const QString& label, int total);
    void Advance(int done);
    // Ends the running bar or line, if any.
    void Finish();

private:
    void DrawBar(int done);
    static QString TimeLeft(qint64 msLeft);

    Progress m_progress;
    bool m_json;
    QString m_label;
    int m_total = 0;
    int m_done = 0;
    bool m_drawn = false;
    qint64 m_drawnAt = 0;  // ms after the start
    QElapsedTimer m_started;
};
