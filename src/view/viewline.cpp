#include "viewline.h"

#include "convertedline.h"

namespace modGeneral {

QString strConvertViewLine(const QByteArray& line) {
    const ConvertedLine fields(line);
    const QList<QByteArray> data = fields.DataFields();
    QString result = fields.AddressText();
    // value() gives an empty field past the end, so a lone last byte needs no special case.
    for (qsizetype i = 0; i < data.size(); i += 2)
        result += QStringLiteral("   ") + QString::fromLatin1(data.value(i + 1) + data.at(i));
    return result;
}

}  // namespace modGeneral
