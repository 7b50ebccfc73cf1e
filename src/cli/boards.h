#pragma once

#include <functional>

#include "portchoice.h"
#include "report.h"

struct CliOptions;
class Console;
class Interruption;
class Screen;
class Waits;

// The command on one board, with the waits, console and report of its own.
using BoardRun = std::function<ExitStatus(const PortChoice&, Waits&, Console&, Report&)>;

// The same command on several boards at once, each in a fiber of its own with its own link on
// the one event loop, so that one slow, failing or unplugged board never holds up another: a
// line of progress each, then one table (port, version, result, seconds, retries) and the worst
// status; with --json one object a board under "boards". No ports: every port whose bootloader
// answers the version request (--port all).
ExitStatus RunBoards(const QList<PortChoice>& ports, const CliOptions& options, const BoardRun& run,
                     Screen& screen, Console& console, Report& report, Interruption& interruption);
