#include "cliprompts.h"

#include "console.h"

MsgResult CliPrompts::MsgBox(const QString& text, const QString& title, MsgIcon, MsgButtons) {
    m_last = QStringLiteral("%1 (%2)").arg(text, title);
    m_console.Verbose(m_last);
    return MsgResult::Ok;
}
