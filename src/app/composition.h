#pragma once

#include <QString>

#include "eventloopwaits.h"
#include "frmmain.h"
#include "settings.h"

class Prompts;

// The program's parts, made and wired as the program runs them: main.cpp makes them with the
// real prompts, the end-to-end tests with scripted ones.
struct Composition {
    Composition(Prompts& prompts, const QString& programFolder);

    Settings settings;
    EventLoopWaits waits;
    frmMain window;
};
