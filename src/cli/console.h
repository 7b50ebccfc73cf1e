#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

class Screen;

// What one board's run says, on the screen it shares with the others: results, messages and
// -v lines, each under the board's name when there are several, and its progress by requests
// acknowledged: a bar with the time left on a terminal, a line every 10 % elsewhere, nothing
// when quiet. Keeps every message for the JSON report.
class Console {
public:
    // `board`: the board's name when several share the screen; empty for the only one.
    Console(Screen& screen, QString board, bool json, bool verbose);

    void Result(const QString& line);
    void Message(const QString& line);
    // Only with -v.
    void Verbose(const QString& line);

    // `done` of the `total` were done before: by an earlier run.
    void Begin(const QString& label, int total, int done = 0);
    void Advance(int done);
    // Ends the running step's progress.
    void Finish();
    // The board's last word on its progress line.
    void Settle(const QString& text);

    QStringList Messages() const { return m_messages; }
    // The only board of the run, or the run's own lines.
    bool Alone() const { return m_board.isEmpty(); }
    bool Verbosity() const { return m_verbose; }

private:
    QString Named(const QString& line) const;
    QString Bar() const;
    void ShowLine(bool now);

    Screen& m_screen;
    QString m_board;
    bool m_json;
    bool m_verbose;
    QStringList m_messages;
    int m_line = -1;  // the progress line on the screen
    QString m_label;
    int m_total = 0;
    int m_done = 0;
    int m_from = 0;    // done at the Begin: the time left counts from there
    int m_tenths = 0;  // of the step, said on a pipe
    QElapsedTimer m_started;
};
