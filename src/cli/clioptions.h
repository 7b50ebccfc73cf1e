#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line: kestrel-cli [options] COMMAND [FILE].
struct CliOptions {
    QString command;    // ports, check, info, program, verify, read or run
    QString file;       // the HEX file of check, program and verify
    QStringList ports;  // Com numbers, device paths or "all"; empty: the port the window stored
    QString out;        // read: the file written, "-" for standard output
    QString range;      // read: "A-B", word addresses
    QString region;     // read: flash, eeprom or config
    bool flash = true;
    bool eeprom = true;
    bool verify = false;
    bool run = false;
    bool all = false;
    bool paced = false;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool strict = false;
    bool erase = false;
    bool keep = false;
    bool erased = false;
    bool resume = false;
    int retries = 3;         // attempts per request
    double waitSeconds = 0;  // --wait: how long to keep asking for the version; 0: once
    QString logPath;
};

// What the command line asks for: a run, or a text to print before the end (help or the version
// on standard output, status 0; a usage error on standard error, status 2).
struct CommandLine {
    std::optional<CliOptions> options;
    QString text;
    bool error = false;
    bool json = false;  // the usage error goes out as JSON too
};

// `environmentPort`: KESTREL_PORT, the port when no --port is given.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& environmentPort);
