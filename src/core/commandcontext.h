#pragma once

#include <QString>

class CommandHost;
class Prompts;
class Settings;
class Waits;

// Everything a command reaches outside itself.
struct CommandContext {
    CommandHost& host;
    Prompts& prompts;
    Settings& settings;
    Waits& waits;
    QString programFolder;
};

using Command = void (*)(CommandContext& context);

// The commands the main window routes its clicks to.
struct CommandSet {
    Command import;
    Command clear;
    Command view;
    Command connect;
    Command program;
    Command run;
};
