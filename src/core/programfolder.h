#pragma once

#include <QString>

// Where the converted code files live, decided once at start-up. An installed Kestrel (its
// desktop entry in the install's share/ beside bin/) uses the per-user data folder, for every
// user, root included; a copy in a folder of its own uses that folder when the user can write
// there, else the per-user data folder too.
namespace ProgramFolder {
QString Resolve(const QString& exeFolder);
// Makes the folder when missing and tries a file in it; false with the reason when it cannot
// be made or written.
bool Prepare(const QString& folder, QString& reason);
}  // namespace ProgramFolder
