#pragma once

#include "report.h"

class Console;
class MemoryImage;
class StepRunner;

// Reads back every word the expected image sets and every word of the blank rows, and compares
// them in the bits the device keeps: the first differences with the word address as the code
// view writes it, the device's value beside the expected one, and their count. Comparing
// nothing is never a success.
ExitStatus VerifyDevice(StepRunner& runner, const MemoryImage& expected,
                        const QList<int>& blankRows, Console& console, Report& report);
