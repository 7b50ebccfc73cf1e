#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "memoryimage.h"

// Standard Intel HEX by address: data (00), end (01), extended segment (02) and extended
// linear (04) address records, any length, in any order, a later record winning over an
// earlier one. Byte address A is the low (A even) or high byte of word A / 2 of the device map.
namespace IntelHex {

// A record as it stands in the file.
struct HexRecord {
    int line;
    quint8 type;
    quint16 offset;          // the address field
    QByteArray addressText;  // the address field as written, four characters
    QByteArray data;
};

// Bytes of a later record over bytes of an earlier one, by word address.
struct Overwrite {
    int line;
    int earlierLine;
    int firstWord;
    int lastWord;
};

// Bytes that fall in no region of the device, by word address, from one line or from lines
// one after another.
struct Outside {
    int line;
    int lastLine;
    quint32 firstWord;
    quint32 lastWord;
};

struct Reading {
    MemoryImage image;
    QList<HexRecord> records;  // up to the end record, in file order
    QList<Overwrite> overwrites;
    QList<Outside> outside;
    QString error;  // "blink.hex:14: checksum 3C, expected 3D"; empty when the file was read
};

Reading Read(const QString& path);

// One record: ":LLAAAATT...CC" and a line feed.
QByteArray RecordText(quint8 type, quint16 offset, const QByteArray& data);

// The image's words as data records of eight words, aligned on eight words as the assembler
// writes them; runs of words still erased are left out.
QByteArray Text(const MemoryImage& image);

}  // namespace IntelHex
