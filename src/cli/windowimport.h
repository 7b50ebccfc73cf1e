#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "intelhex.h"

// Where the window's own import and programming would put the data records of a file, beside
// where kestrel-cli puts them. The window takes a record's region from its exact address
// field and keeps it for the records after it, halves a flash record's address, packs EEPROM
// records one after another, a line of two records every 16 offsets, and never writes below
// word 0x100, the user ID or the configuration.
namespace WindowImport {

struct Difference {
    int line;
    QString record;  // "4240 8 bytes"
    QString cli;     // where kestrel-cli writes it
    QString window;  // where the window writes it
};

struct Outcome {
    QString refusal;  // why the window would not import the file at all; empty if it would
    QList<Difference> differences;
};

Outcome Compare(const QList<IntelHex::HexRecord>& records);

// What the window's programming leaves written: flash bytes by byte address, EEPROM bytes by
// 0x10000 + offset.
QMap<int, quint8> Written(const QList<IntelHex::HexRecord>& records);

}  // namespace WindowImport
