#pragma once

#include "memoryimage.h"
#include "step.h"

// The steps of programming, verifying and reading, made from memory images: each knows every
// frame it will send before the first goes.
namespace Steps {

// Whole 32-word rows, each word from `image` where it is set, else from `base` (an empty image
// gives the erased filler; rows read from the device keep their words).
Step WriteRows(const MemoryImage& image, const QList<int>& rows, const MemoryImage& base);
// Every EEPROM byte the image sets, at its own address, consecutive ones in writes of at most
// 16 bytes.
Step WriteEeprom(const MemoryImage& image);
// The whole application area, 0x100 to 0x1FFF, with the erase command.
Step Erase();
// Reads of the words (ascending), as few requests as the read sizes allow.
Step Read(const QString& name, const QString& label, const QList<int>& words);

// Whether the step writes (or erases) rather than reads.
bool Writes(const Step& step);
// What the device holds once the write was acknowledged: the words it sets, or the blank first
// row of an erase.
MemoryImage Written(const Exchange& write);
// What the first `acknowledged` exchanges of a write step did: "flash rows 0x0100–0x017F
// written and acknowledged; 0x0180 onward not written", or "EEPROM bytes 0x00 onward not
// written" when none was.
QString Confirmed(const Step& step, qsizetype acknowledged);

}  // namespace Steps
