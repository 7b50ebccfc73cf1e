#pragma once

#include <QByteArray>

// Tells when a reply has fully arrived, so that a wait can end before its deadline.
namespace ReplyFrame {

enum class Kind { Acknowledgement, Data };

// True when the buffer starts with a whole reply to the command: 0x0F, the command byte,
// escaped payload up to a bare 0x04, then a checksum that passes (for an acknowledgement the
// link's rule, 0x100 minus the command; for a data reply the unescaped payload's checksum).
// Bytes after the frame do not matter.
bool IsComplete(const QByteArray& buffer, quint8 bytCode, Kind kind);

}  // namespace ReplyFrame
