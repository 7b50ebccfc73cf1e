#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A number as upper-case hexadecimal digits, with leading zeros to the given width: the way
// the code view and the simulator write addresses and values.
inline QString HexText(qint64 value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// "0x0100–0x0113", or "0x0100" when first and last are the same.
inline QString SpanText(qint64 first, qint64 last, int digits) {
    const QString text = QStringLiteral("0x") + HexText(first, digits);
    return last == first ? text : text + QStringLiteral("–0x") + HexText(last, digits);
}

// Ascending numbers as "0x0000, 0x0100–0x0113".
inline QString RangesText(const QList<int>& values, int digits) {
    QStringList ranges;
    for (qsizetype i = 0; i < values.size();) {
        qsizetype j = i;
        while (j + 1 < values.size() && values[j + 1] == values[j] + 1) ++j;
        ranges.append(SpanText(values[i], values[j], digits));
        i = j + 1;
    }
    return ranges.join(QStringLiteral(", "));
}
