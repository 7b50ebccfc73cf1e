#pragma once

#include <QTemporaryDir>
#include <memory>

#include "clihost.h"
#include "cliprompts.h"
#include "commandcontext.h"
#include "eventloopwaits.h"
#include "quickwaits.h"
#include "settings.h"

struct CliOptions;
class clsHexComm;

// The window's parts without the window: prompts, host, waits, settings of its own, a program
// folder of its own and the link, put together for one run of kestrel-cli.
class Session {
public:
    Session(const CliOptions& options, Console& console, Report& report);
    ~Session();

    // False (with its message shown) when the log cannot be written.
    bool Ready() const { return m_ready; }
    // The import with the window's rules; false when the file fails it.
    bool Import();
    // Opens the port and reads the bootloader version; false after the link's message.
    bool Connect();
    // Programs the regions asked for; false after the message of the failure.
    bool Program();
    // Resets the device; the port must be open.
    bool Run();
    // Opens the port without a request, for run alone.
    bool OpenPort();

    CommandContext& Context() { return m_context; }
    clsHexComm& Link() { return *m_link; }
    const CliPort& Port() const { return *m_port; }
    QString PortName() const;

private:
    void ExplainClosedPort();

    Console& m_console;
    Report& m_report;
    bool m_ready = true;
    QString m_file;
    CliPrompts m_prompts;
    EventLoopWaits m_eventLoopWaits;
    QuickWaits m_waits{m_eventLoopWaits};
    Settings m_settings{QStringLiteral("kestrel-cli")};
    QTemporaryDir m_temporaryFolder;
    CliPort* m_port;  // owned by the link
    std::unique_ptr<clsHexComm> m_link;
    CliHost m_host;
    CommandContext m_context;
};
