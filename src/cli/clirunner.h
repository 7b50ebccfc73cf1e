#pragma once

#include "report.h"

class Console;
class Interruption;
class Screen;
struct CliOptions;

// Runs the command of the command line to its exit status, on one board or on several at once.
ExitStatus RunCommand(const CliOptions& options, Screen& screen, Console& console, Report& report,
                      Interruption& interruption);
