#pragma once

#include <QList>
#include <QString>

// Where the window puts each EEPROM record of a HEX file: it packs records two to a converted
// line, lines 16 offsets apart whatever they hold, so a record after a gap or past the end
// lands away from the offset its address names.
struct EepromRecord {
    QString address;  // the record's address field
    int offset;       // the EEPROM offset its address names
    int placed;       // the offset the device gets it at
};

// The EEPROM records of the file, in file order, found as the import finds them: a record at
// 4200 opens the region and those after it stay in it until another region opens.
QList<EepromRecord> PlaceEepromRecords(const QString& hexFile);
