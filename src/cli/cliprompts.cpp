#include "cliprompts.h"

#include "console.h"
#include "report.h"

MsgResult CliPrompts::MsgBox(const QString& text, const QString& title, MsgIcon, MsgButtons) {
    const QString line = title + QStringLiteral(": ") + text;
    m_console.Message(line);
    m_report.AddMessage(line);
    return MsgResult::Ok;
}
