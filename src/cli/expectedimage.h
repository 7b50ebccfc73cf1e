#pragma once

#include <QMap>
#include <QString>

// What the window's programming leaves in the device, from the converted code files: the
// flash words from 0x100 that Flash.hx holds (a lone byte's other half is the row's 0xFF
// filler) and the EEPROM bytes of EEPROM.hx at the offsets their lines are written to. A later
// line wins, as it does on the device.
struct ExpectedImage {
    static ExpectedImage FromFolder(const QString& folder, bool flash, bool eeprom);

    QMap<int, quint16> flash;  // by word address
    QMap<int, quint8> eeprom;  // by offset
};
