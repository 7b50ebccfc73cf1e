#pragma once

#include <QSaveFile>
#include <memory>
#include <optional>

#include "report.h"

struct CliOptions;
class Console;
class StepRunner;

// What read takes and where it goes, settled before the port opens: the words first to
// end - 1 (those in the device's memory), and the output, already open, so that a file that
// cannot be written stops the run before its first frame.
struct ReadPlan {
    int first = 0;
    int end = 0;
    bool binary = false;  // FILE.bin: the words as raw bytes
    QString out;          // "-": standard output
    // A QSaveFile, so that a run that ends early leaves nothing; a QFile for a device or a pipe,
    // which must not be replaced. None for standard output.
    std::unique_ptr<QFileDevice> file;
};

// nullopt with the reason when the range, the region or the output will not do.
std::optional<ReadPlan> PlanRead(const CliOptions& options, QString& error);

// Reads the plan's words and writes them: Intel HEX (erased runs left out, as kestrel-sim's
// dump) or raw binary, flash and configuration words low byte first, EEPROM a byte each.
ExitStatus ReadDevice(StepRunner& runner, ReadPlan& plan, Console& console, Report& report);
