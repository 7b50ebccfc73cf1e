#pragma once

#include "prompts.h"

// Prompts through QMessageBox and Qt's own file dialog, over the active window.
class QtPrompts : public Prompts {
public:
    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString& filter, const QString& startLocation) override;
};
