#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "byteaddr.h"

// One write to the device: where, what, and the address text a failure message shows.
struct WriteBlock {
    ByteAddr bytAddr{};
    QString addressText;
    QByteArray bytData;
};

// Turns the lines of one converted code file, in file order, into the writes of its region.
class BlockSource {
public:
    virtual ~BlockSource() = default;
    // The writes this line completes, in order.
    virtual QList<WriteBlock> Add(const WriteBlock& line) = 0;
    // What is still pending at the end of the file.
    virtual QList<WriteBlock> Finish() = 0;
};
