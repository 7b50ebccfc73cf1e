#pragma once

#include <QTemporaryDir>

#include "commandcontext.h"
#include "fakehost.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "settings.h"
#include "trace.h"

// A command's surroundings without widgets or real time, all tracing into one account, and a
// program folder of its own.
struct CommandRig {
    QString Folder() const { return folder.path(); }

    Trace trace;
    FakeHost host{trace};
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    CommandContext context{host, prompts, settings, waits, folder.path()};
};
