#pragma once

#include <functional>
#include <memory>

#include "cliprompts.h"
#include "portchoice.h"

struct CliOptions;
class CliPort;
class clsHexComm;
class Console;
class LogFile;
class Waits;

// The link to one board's bootloader for a run of kestrel-cli: the port (counted, logged when
// asked), the link's messages kept until a request finally fails, every request tried as often
// as --retries says, and the run's own waits.
class DeviceLink {
public:
    DeviceLink(const PortChoice& port, const CliOptions& options, Waits& waits, Console& console,
               LogFile* log);
    ~DeviceLink();

    // Opens the port and reads the bootloader's version ("v1.0"); with --wait, keeps asking
    // until it answers. False after one line that says why.
    bool Connect(QString& version);
    // Whether a bootloader answers on the port, without a word either way: for --port all.
    bool Answers(QString& version);
    // Opens the port without a request, for run alone; false after one line that says why.
    bool OpenPort();
    // Resets the device into its application; the port must be open.
    bool Reset();

    // Sends the request with the reply wait `interval` until it succeeds, at most --retries
    // times: a damaged reply counts as a missing one. False when the last attempt fails, the
    // waits are stopped or the port has gone.
    bool Attempt(float interval, const std::function<bool()>& request);
    // Why the last Attempt failed: "interrupted", the port gone, or the link's message.
    QString Cause() const;
    bool Interrupted() const;

    clsHexComm& Link() { return *m_link; }
    const CliPort& Port() const { return *m_port; }
    // The device the port was opened as.
    QString PortName() const;

private:
    // Quiet: a port that cannot be opened is not explained.
    bool Open(bool quiet);
    bool RequestVersion(QByteArray& bytes);
    // RequestVersion, and a line when it fails.
    bool AskVersion(QByteArray& bytes);
    bool WaitForBootloader(QByteArray& bytes);

    Console& m_console;
    Waits& m_waits;
    PortChoice m_choice;
    int m_retries;
    double m_waitSeconds;
    bool m_announced = false;  // the port's line
    CliPrompts m_prompts;
    CliPort* m_port;  // owned by the link
    std::unique_ptr<clsHexComm> m_link;
};
