#pragma once

#include "report.h"

class Console;
class Session;

// Reads back what the imported file puts into flash (from 0x100) and EEPROM and compares it:
// the first differences as the code view writes their addresses, device value beside file
// value, and their count.
ExitStatus VerifyDevice(Session& session, bool flash, bool eeprom, Console& console,
                        Report& report);
