#pragma once

#include <QString>

// Where the converted code files live: the executable's folder when writable, else the
// per-user data folder. Decided once at start-up.
namespace ProgramFolder {
QString Resolve();
}
