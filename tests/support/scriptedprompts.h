#pragma once

#include <QList>

#include "prompts.h"
#include "trace.h"

// Answers from a script and never blocks. Traces "msg Title: text", with " (!)" for the
// exclamation icon, " (x)" for the critical one and " [ok/cancel]" for two buttons; and
// "open START" for the file dialog.
class ScriptedPrompts : public Prompts {
public:
    explicit ScriptedPrompts(Trace& trace) : m_trace(trace) {}

    MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                     MsgButtons buttons) override {
        const char* mark = icon == MsgIcon::Critical      ? " (x)"
                           : icon == MsgIcon::Exclamation ? " (!)"
                                                          : "";
        m_trace.Add(QStringLiteral("msg %1: %2%3%4")
                        .arg(title, text, QLatin1String(mark),
                             QLatin1String(buttons == MsgButtons::OkCancel ? " [ok/cancel]" : "")));
        return answers.isEmpty() ? MsgResult::Ok : answers.takeFirst();
    }
    std::optional<QString> OpenFile(const QString& filter, const QString& startLocation) override {
        lastFilter = filter;
        m_trace.Add(QStringLiteral("open ") + startLocation);
        return files.isEmpty() ? std::nullopt : files.takeFirst();
    }

    QList<MsgResult> answers;             // taken in order; Ok once empty
    QList<std::optional<QString>> files;  // taken in order; cancel once empty
    QString lastFilter;

private:
    Trace& m_trace;
};
