#pragma once

#include <QString>

class CommandHost;
class Prompts;
class Settings;

// Everything a command reaches outside itself.
struct CommandContext {
    CommandHost& host;
    Prompts& prompts;
    Settings& settings;
    QString programFolder;
};
