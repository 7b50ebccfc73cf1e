#pragma once

#include <QString>

#include "prompts.h"

// Every message box the link shows: text, title and icon.
namespace LinkMessages {

struct Message {
    const char* text;
    const char* title;
    MsgIcon icon;
};

inline constexpr Message kNoResponse{"No response received from bootloader firmware", "No Response",
                                     MsgIcon::Exclamation};
inline constexpr Message kNoStx{"<STX> character not present", "Format Error",
                                MsgIcon::Exclamation};
inline constexpr Message kWrongCommand{"Invalid Command byte received", "Format Error",
                                       MsgIcon::Exclamation};
inline constexpr Message kNoEtx{"<ETX> character not present", "Format Error",
                                MsgIcon::Exclamation};
inline constexpr Message kDataChecksum{"In correct check sum value received", "Corrupt Data",
                                       MsgIcon::Exclamation};
inline constexpr Message kDataCount{"Incorrect requested number of data bytes received", "Error",
                                    MsgIcon::Exclamation};
inline constexpr Message kAckChecksum{"In correct check sum value returned", "Corrupt Data",
                                      MsgIcon::Exclamation};
inline constexpr Message kPortClosed{"First open a specified Coms Port", "Coms Port Closed",
                                     MsgIcon::Critical};

// Shown with no icon under the program's own title, whatever its executable is called.
inline QString NotAvailable(qint16 intComPort) {
    return QStringLiteral("COM %1: not available. Change to another com port.").arg(intComPort);
}

}  // namespace LinkMessages
