#pragma once

#include "report.h"

class Console;

// Lists Com 1 to 4 with what each resolves to and whether it can be opened, then every serial
// port Qt sees.
ExitStatus ListPorts(Console& console, Report& report);
