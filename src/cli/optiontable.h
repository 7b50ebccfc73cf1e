#pragma once

#include <QString>
#include <span>

// The commands and options of kestrel-cli, in one table that the parser, the help texts and the
// check of which option goes with which command all read.
namespace OptionTable {

enum : unsigned {
    kPorts = 1,
    kCheck = 2,
    kInfo = 4,
    kProgram = 8,
    kVerify = 16,
    kRead = 32,
    kRun = 64,
    kDevice = kInfo | kProgram | kVerify | kRead | kRun,
    kEvery = kPorts | kCheck | kDevice,
};

struct Command {
    const char* name;
    unsigned bit;
    const char* operand;  // "FILE.hex", or empty
    const char* summary;  // a line of the command list
    const char* text;     // the command's own help
};

struct Option {
    const char* shortName;  // empty: none
    const char* longName;
    const char* value;  // the value's name; empty: a switch
    const char* text;
    unsigned commands;
};

std::span<const Command> Commands();
std::span<const Option> Options();
// The command of that name, or nullptr.
const Command* FindCommand(const QString& name);

// The whole help, or one command's: its usage, what it does and the options it takes.
QString Help();
QString Help(const Command& command);

}  // namespace OptionTable
