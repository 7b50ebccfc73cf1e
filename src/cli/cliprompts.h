#pragma once

#include "prompts.h"

class Console;
class Report;

// Every message box becomes one line on stderr, "Title: text"; the file dialog answers with
// the file named on the command line.
class CliPrompts : public Prompts {
public:
    CliPrompts(Console& console, Report& report, QString file)
        : m_console(console), m_report(report), m_file(std::move(file)) {}

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString& filter, const QString& startLocation) override;
    int Shown() const { return m_shown; }

private:
    Console& m_console;
    Report& m_report;
    QString m_file;
    int m_shown = 0;
};
