#pragma once

#include <array>

#include "commandhost.h"

class CliPort;
class Console;
class Report;

// The window as the commands see it, turned into progress on the console and regions of the
// report. What the window would enable next tells the command line whether a step worked.
class CliHost : public CommandHost {
public:
    enum Group { Import, Clear, View, Connect, Program, Run, Exit };

    CliHost(Console& console, Report& report, const CliPort& port, bool flash, bool eeprom)
        : m_console(console), m_report(report), m_port(port), m_flash(flash), m_eeprom(eeprom) {}

    MainState& State() override { return m_state; }
    void SetPanelText(const QString& key, const QString& text) override;
    QString PanelText(const QString& key) const override;
    void SetProgressRange(int minimum, int maximum) override;
    void SetProgressValue(int value) override;
    int ProgressValue() const override { return m_progress; }
    void EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                        bool blnProgram, bool blnRun, bool blnExit) override;
    void SetBusyPointer(bool) override {}
    bool IsTicked(Tick tick) const override;
    void ShowCodeView(const QString&) override {}

    bool Enabled(Group group) const { return m_enabled[group]; }
    void ForgetEnabled() { m_enabled = {}; }

private:
    void StatusChanged(const QString& text);

    Console& m_console;
    Report& m_report;
    const CliPort& m_port;
    bool m_flash;
    bool m_eeprom;
    MainState m_state;
    QString m_status;
    QString m_version;
    int m_maximum = 0;
    int m_progress = 0;
    std::array<bool, 7> m_enabled{};
};
