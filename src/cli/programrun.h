#pragma once

#include "report.h"

struct CliOptions;
class Console;
struct ProgramPlan;
class StepRunner;

// Writes the plan's rows and EEPROM bytes straight from the image: with --erase the whole
// application area is blanked first, with --keep each row is read first and only the file's
// words change in it; then --verify compares (with --erase, the other rows must be blank).
ExitStatus ProgramDevice(StepRunner& runner, const ProgramPlan& plan, const CliOptions& options,
                         Console& console, Report& report);
