#pragma once

#include <memory>

#include "cliprompts.h"
#include "eventloopwaits.h"

struct CliOptions;
class CliPort;
class clsHexComm;
class Console;
class Report;

// The link to the bootloader for one run of kestrel-cli: the port (counted, logged when
// asked), the link's messages as lines on standard error, and waits on the event loop.
class DeviceLink {
public:
    DeviceLink(const CliOptions& options, Console& console, Report& report);
    ~DeviceLink();

    // False (with its message shown) when the log cannot be written.
    bool Ready() const { return m_ready; }
    // Opens the port and reads the bootloader's version ("v1.0"); false after the messages.
    bool Connect(QString& version);
    // Opens the port without a request, for run alone.
    bool OpenPort();
    // Resets the device into its application; the port must be open.
    bool Reset();

    clsHexComm& Link() { return *m_link; }
    const CliPort& Port() const { return *m_port; }
    QString PortName() const;

private:
    void ExplainClosedPort();

    Console& m_console;
    bool m_ready = true;
    qint16 m_portNumber;
    CliPrompts m_prompts;
    EventLoopWaits m_waits;
    CliPort* m_port;  // owned by the link
    std::unique_ptr<clsHexComm> m_link;
};
