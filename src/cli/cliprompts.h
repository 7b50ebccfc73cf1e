#pragma once

#include "prompts.h"

class Console;

// The link's message boxes, kept rather than shown: a request may be tried again, and the one
// that finally fails is said once, in a line of its own with where it failed. With -v each is
// shown as it comes. No file dialog is ever asked for.
class CliPrompts : public Prompts {
public:
    explicit CliPrompts(Console& console) : m_console(console) {}

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString&, const QString&) override {
        return std::nullopt;
    }

    // "text (title)" of the last message box.
    QString Last() const { return m_last; }

private:
    Console& m_console;
    QString m_last;
};
