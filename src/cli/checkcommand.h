#pragma once

#include "report.h"

class Console;
class Session;

// Prints the memory map of the imported file and warns about what the window would skip or
// move: flash below word 0x100, EEPROM records that are packed away from their address, and
// user ID and configuration that this bootloader never programs.
ExitStatus CheckFile(Session& session, const QString& hexFile, Console& console, Report& report);
