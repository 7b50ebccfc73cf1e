#pragma once

#include <QStringList>

#include "intelhex.h"

// What kestrel-cli makes of a file before the port opens: what it refuses to program (exit
// status 2) and what it warns about (errors with --strict), each saying what to do.
struct ImageCheck {
    QStringList refusals;
    QStringList warnings;
};

ImageCheck CheckImage(const IntelHex::Reading& reading, bool flash, bool eeprom);

// The words of the image in [first, end) offset to `base` ("EEPROM byte N" is word 0x2100 + N).
QList<int> WordsOf(const MemoryImage& image, int first, int end, int base = 0);
