#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line: kestrel-cli [options] COMMAND [FILE].
struct CliOptions {
    QString command;  // ports, check, info, program, verify, read or run
    QString file;     // the HEX file of check, program and verify
    QString port;     // a Com number or a device path; empty: the port the window stored
    QString out;      // read: the file written, "-" for standard output
    QString range;    // read: "A-B", word addresses
    QString region;   // read: flash, eeprom or config
    bool flash = true;
    bool eeprom = true;
    bool verify = false;
    bool run = false;
    bool all = false;
    bool fast = false;
    bool json = false;
    bool quiet = false;
    bool strict = false;
    bool erase = false;
    bool keep = false;
    bool erased = false;
    QString logPath;
};

// nullopt with the reason in error when the command line is wrong; --help prints and exits.
std::optional<CliOptions> ParseCliOptions(const QStringList& arguments, QString& error);
