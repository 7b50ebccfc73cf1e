#pragma once

#include <QPointer>
#include <QWidget>

#include "prompts.h"

// Prompts through QMessageBox and Qt's own file dialog.
class QtPrompts : public Prompts {
public:
    void SetParent(QWidget* parent) { m_parent = parent; }

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString& filter, const QString& startLocation) override;

private:
    QPointer<QWidget> m_parent;
};
