#pragma once

#include <QString>

class DeviceMemory;

// Fills the memory from an Intel HEX file by byte address, as the dump writes it: flash and
// configuration words, and EEPROM bytes as the low bytes of words from 0x2100. False with the
// reason when the file cannot be read or a record is malformed.
bool LoadHex(DeviceMemory& memory, const QString& path, QString& reason);
