#pragma once

#include "report.h"

struct CliOptions;
class Console;
class DeviceLink;
struct ProgramPlan;
class StepRunner;

// Writes the plan's rows and EEPROM bytes straight from the image: with --erase the whole
// application area is blanked first, with --keep each row is read first and only the file's
// words change in it; then --verify compares (with --erase, the other rows must be blank).
// Every write acknowledged goes into the port's journal; --resume skips what the last run of
// the same image had acknowledged. A failure stops the run and says what was acknowledged.
ExitStatus ProgramDevice(StepRunner& runner, DeviceLink& link, const ProgramPlan& plan,
                         const CliOptions& options, Console& console, Report& report);
