#pragma once

#include "memoryimage.h"

// What program writes, from the file's image and the regions chosen: the file's flash words
// from 0x100 in whole rows, and its EEPROM bytes.
struct ProgramPlan {
    static ProgramPlan Of(const MemoryImage& image, bool flash, bool eeprom);

    // What the device must hold afterwards: every word of each written row (the file's, else
    // the base's: erased filler, or what --keep read) and every EEPROM byte of the file.
    MemoryImage Expected(const MemoryImage& base) const;
    // The application rows the plan leaves alone.
    QList<int> OtherRows() const;

    MemoryImage file;  // the words that are written
    QList<int> rows;   // the flash rows that hold them
};
