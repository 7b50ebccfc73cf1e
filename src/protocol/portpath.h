#pragma once

#include <QString>

// Where Com N is on this machine; the program, the simulator and the tests all use it.
namespace PortPath {
// Windows: COMN. Elsewhere: $XDG_DATA_HOME/Kestrel/ports/comN when there is such an entry,
// dangling or not, else /dev/ttyS<N-1>.
QString DeviceName(int portNumber);
// The ports folder's entry for Com N (Linux and macOS), whether it exists or not.
QString LinkPath(int portNumber);
}  // namespace PortPath
