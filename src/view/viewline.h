#pragma once

#include <QByteArray>
#include <QString>

namespace modGeneral {

// Turns one converted code file line ("08,00,00,83,16,...") into its view line: the six-digit
// word address, then each pair of data bytes as one word, second byte first, three blanks apart.
// An unpaired last byte is shown alone.
QString strConvertViewLine(const QByteArray& line);

}  // namespace modGeneral
