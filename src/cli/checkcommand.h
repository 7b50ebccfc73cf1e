#pragma once

#include "intelhex.h"
#include "report.h"

struct CliOptions;
class Console;

// Prints the file's memory map as kestrel-cli reads it, what program would refuse or warn
// about, and a table of the records that the window's own import would put elsewhere, so that
// a window user learns it before programming. Status 2 when program would refuse the file.
ExitStatus CheckFile(const IntelHex::Reading& reading, const CliOptions& options, Console& console,
                     Report& report);
