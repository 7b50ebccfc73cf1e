#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "clshexcomm.h"

// One line of a converted code file, read.
struct ConvertedLine {
    QString addressText;  // fields 2, 1, 0 as they stand in the file
    ByteAddr bytAddr{};   // fields 0, 1, 2: low, high, upper
    QByteArray bytData;   // fields 3 and on

    quint32 WordAddress() const { return bytAddr[0] | bytAddr[1] << 8 | bytAddr[2] << 16; }
};

// No value when a field is not a two-digit hexadecimal number.
std::optional<ConvertedLine> ParseConvertedLine(const QByteArray& text);

// Fields 2, 1 and 0 joined as they stand; also for a line that does not parse.
QString AddressTextOf(const QByteArray& text);
