#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "prompts.h"

// Records every message box and answers prompts from a script; never blocks.
class ScriptedPrompts : public Prompts {
public:
    struct Message {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
    };

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override;
    std::optional<QString> OpenFile(const QString& filter, const QString& startLocation) override;

    QList<Message> messages;
    QList<MsgResult> answers;             // taken in order; Ok once empty
    QList<std::optional<QString>> files;  // taken in order; cancel once empty
    QString lastFilter;
    QString lastStartLocation;
    std::function<void(const Message&)> onMessage;  // runs while the "box" is open

    QStringList Titles() const;
};
