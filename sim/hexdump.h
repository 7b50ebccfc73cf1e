#pragma once

#include <QString>

class DeviceMemory;

// Writes the memory as Intel HEX in the assembler's layout, leaving erased rows out, so that a
// dump compares directly with the file that was imported.
bool WriteHexDump(const DeviceMemory& memory, const QString& path);
