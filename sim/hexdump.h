#pragma once

#include <QByteArray>

class DeviceMemory;

// The memory as Intel HEX in the assembler's layout, leaving erased rows out, so that a dump
// compares directly with the file that was imported.
QByteArray HexDumpOf(const DeviceMemory& memory);
