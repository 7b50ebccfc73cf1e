#pragma once

#include <QList>
#include <QStringList>

// Rows as lines of text, each column as wide as its widest cell and two spaces apart.
inline QStringList TextTable(const QList<QStringList>& rows) {
    QList<qsizetype> widths;
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.append(0);
            widths[c] = std::max(widths[c], row[c].size());
        }
    QStringList lines;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c + 1 < row.size(); ++c) line += row[c].leftJustified(widths[c] + 2);
        lines.append(line + row.last());
    }
    return lines;
}
