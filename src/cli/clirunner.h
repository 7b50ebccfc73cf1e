#pragma once

#include "report.h"

class Console;
struct CliOptions;

// Runs the command of the command line to its exit status.
ExitStatus RunCommand(const CliOptions& options, Console& console, Report& report);
