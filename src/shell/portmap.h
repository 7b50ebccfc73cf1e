#pragma once

#include <QString>

// Maps the user's port number (Com N) to the platform's device name.
namespace PortMap {
// Windows: COMN. Elsewhere: $XDG_DATA_HOME/Kestrel/ports/comN when it exists, else /dev/ttyS<N-1>.
QString DeviceName(int portNumber);
// The folder that holds the comN links on Linux and macOS.
QString LinkFolder();
}  // namespace PortMap
