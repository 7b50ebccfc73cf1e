#pragma once

#include <QString>

struct CommandContext;

// The counting pass before a converted code file is processed: counts its lines into
// intLineCount, letting the event loop run after each. False when waits were stopped
// meanwhile. A file that cannot be read counts as empty.
bool CountConvertedLines(CommandContext& context, const QString& path);
