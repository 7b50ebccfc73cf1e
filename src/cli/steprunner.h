#pragma once

#include "step.h"

class Console;
class DeviceLink;
class Journal;
class MemoryImage;
class Report;

// Sends a step's exchanges through the link, one after another, with the link's timing for
// each kind; shows progress by exchanges acknowledged and counts the step's frames in the
// report.
class StepRunner {
public:
    StepRunner(DeviceLink& link, Console& console, Report& report)
        : m_link(link), m_console(console), m_report(report) {}

    // Each write acknowledged goes into the journal.
    void Record(Journal* journal) { m_journal = journal; }
    // Sends the exchanges from `from` on (those before it were acknowledged in an earlier run).
    // False at the first that fails, after one line that says which and why. The words that
    // reads return go into `read`.
    bool Run(const Step& step, MemoryImage& read, qsizetype from = 0);
    // The exchanges of the last step acknowledged.
    qsizetype Done() const { return m_done; }

private:
    bool Send(const Exchange& exchange, MemoryImage& read);

    DeviceLink& m_link;
    Console& m_console;
    Report& m_report;
    Journal* m_journal = nullptr;
    qsizetype m_done = 0;
};
