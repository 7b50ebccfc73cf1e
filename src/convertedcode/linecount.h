#pragma once

#include <QString>

struct CommandContext;

enum class LineCount { Counted, Unreadable, Stopped };

// The counting pass before a converted code file is processed: counts its lines into
// intLineCount, letting the event loop run after each. Unreadable when the file is missing or
// cannot be opened or read; Stopped when waits were stopped meanwhile.
LineCount CountConvertedLines(CommandContext& context, const QString& path);
