#pragma once

#include "prompts.h"

class Console;
class Report;

// Every message box of the link becomes one line on stderr, "Title: text"; no file dialog is
// ever asked for.
class CliPrompts : public Prompts {
public:
    CliPrompts(Console& console, Report& report) : m_console(console), m_report(report) {}

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString&, const QString&) override {
        return std::nullopt;
    }

private:
    Console& m_console;
    Report& m_report;
};
