#include "scriptedprompts.h"

MsgResult ScriptedPrompts::MsgBox(const QString& text, const QString& title, MsgIcon icon,
                                  MsgButtons buttons) {
    messages.append({text, title, icon, buttons});
    if (onMessage) onMessage(messages.back());
    return answers.isEmpty() ? MsgResult::Ok : answers.takeFirst();
}

std::optional<QString> ScriptedPrompts::OpenFile(const QString& filter,
                                                 const QString& startLocation) {
    lastFilter = filter;
    lastStartLocation = startLocation;
    return files.isEmpty() ? std::nullopt : files.takeFirst();
}

QStringList ScriptedPrompts::Titles() const {
    QStringList titles;
    for (const Message& message : messages) titles.append(message.title);
    return titles;
}
