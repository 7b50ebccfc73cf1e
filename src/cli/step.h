#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One request to the bootloader that a step sends: what, where, and what a write carries.
struct Exchange {
    enum class Kind { WriteFlash, WriteEeprom, EraseFlash, ReadFlash, ReadConfig, ReadEeprom };

    Kind kind;
    int word;         // the first word address (EEPROM byte N: word 0x2100 + N)
    int count;        // words for flash and configuration, bytes for EEPROM, rows for an erase
    QByteArray data;  // a write's bytes
};

// The exchanges of one part of a run, in order, under the name the report gives them and the
// label progress shows.
struct Step {
    QString name;
    QString label;
    QList<Exchange> exchanges;
};
