#pragma once

#include <QTemporaryDir>
#include <memory>

#include "clshexcomm.h"
#include "fakeserialport.h"
#include "frmmain.h"
#include "scriptedprompts.h"
#include "scriptedwaits.h"
#include "settings.h"

// The real main window whose commands do nothing, for what the window shows by itself.
struct BareWindow {
    Trace trace;
    ScriptedPrompts prompts{trace};
    ScriptedWaits waits{trace};
    Settings settings{QStringLiteral("Kestrel")};
    QTemporaryDir folder;
    frmMain window{
        settings,
        prompts,
        waits,
        std::make_unique<clsHexComm>(std::make_unique<FakeSerialPort>(), prompts, waits),
        folder.path(),
        CommandSet{[](CommandContext&) {}, [](CommandContext&) {}, [](CommandContext&) {},
                   [](CommandContext&) {}, [](CommandContext&) {}, [](CommandContext&) {}}};
};
