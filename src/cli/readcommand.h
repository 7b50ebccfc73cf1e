#pragma once

#include "report.h"

class Console;
class Session;

// Reads flash from 0x100 (from 0 with all), EEPROM and configuration memory into an Intel HEX
// file in the layout kestrel-sim's dump writes.
ExitStatus ReadDevice(Session& session, const QString& out, bool all, Console& console);
