#pragma once

#include "step.h"

class clsHexComm;
class CliPort;
class Console;
class MemoryImage;
class Report;

// Sends a step's exchanges through the link, one after another, with the link's timing for
// each kind; shows progress by exchanges done and counts the step's frames in the report.
class StepRunner {
public:
    StepRunner(clsHexComm& link, const CliPort& port, Console& console, Report& report)
        : m_link(link), m_port(port), m_console(console), m_report(report) {}

    // False at the first exchange that fails, after the link's message and one that names the
    // exchange. The words that reads return go into `read`.
    bool Run(const Step& step, MemoryImage& read);
    // The exchanges of the last step that succeeded.
    qsizetype Done() const { return m_done; }

private:
    bool Send(const Exchange& exchange, MemoryImage& read);

    clsHexComm& m_link;
    const CliPort& m_port;
    Console& m_console;
    Report& m_report;
    qsizetype m_done = 0;
};
