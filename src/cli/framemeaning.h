#pragma once

#include <QByteArray>
#include <QString>

// What a request payload or a reply frame means, in the simulator's words, for the frame log
// and the per-region counts.
namespace FrameMeaning {

// "write-flash 000100 64 bytes", "read-version 2 bytes", "reset".
QString OfRequest(const QByteArray& payload);
// "ack", "data 64 bytes", or "damaged" for anything the fast path would not accept.
QString OfReply(const QByteArray& reply, const QByteArray& requestPayload);
// The data bytes a request writes or asks for.
int DataBytes(const QByteArray& payload);

}  // namespace FrameMeaning
