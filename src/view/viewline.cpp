#include "viewline.h"

#include <QStringList>

namespace modGeneral {

namespace {
const QString kWordGap = QStringLiteral("   ");
}

QString strConvertViewLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(','));
    // value() gives an empty field past the end, so short lines and a lone last byte need no
    // special case.
    QString result = fields.value(2) + fields.value(1) + fields.value(0);
    for (qsizetype i = 3; i < fields.size(); i += 2)
        result += kWordGap + fields.value(i + 1) + fields.at(i);
    return result;
}

}  // namespace modGeneral
