#pragma once

#include <QString>

#include "writeblock.h"

class clsHexComm;
struct CommandContext;

// What sets one memory region's pass apart: its file, texts, link timing and its write.
struct ProgrammedRegion {
    QString fileName;
    QString statusText;
    QString missingText;
    QString failureText;  // the failing address text is glued on
    QString title;
    float sngInterval;
    bool (*write)(clsHexComm& link, const WriteBlock& block);
};

// Writes one region from its converted code file, reporting a missing file or the first
// failure itself. False when waits were stopped: the command must end at once.
bool ProgramRegion(CommandContext& context, const ProgrammedRegion& region, BlockSource& source);
