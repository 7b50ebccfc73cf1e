#pragma once

#include <QString>
#include <optional>

class Prompts;
class SingleInstance;

// Makes the program folder ready and holds it for this Kestrel. No value: go on. Otherwise the
// exit status: 0 when a running Kestrel holds the folder (it has been asked to come forward),
// 1 after a message saying why the folder cannot be used.
std::optional<int> ClaimProgramFolder(const QString& folder, SingleInstance& instance,
                                      Prompts& prompts);
