#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "byteaddr.h"

// One line of a converted code file ("08,00,00,83,16,..."): three address fields, least
// significant first, then one field per data byte, as they stand in the file.
class ConvertedLine {
public:
    explicit ConvertedLine(const QByteArray& text) : m_fields(text.split(',')) {}

    // The word address as the file writes it: fields 2, 1 and 0 joined, whatever they hold.
    QString AddressText() const;
    // The data fields, from field 3 on.
    QList<QByteArray> DataFields() const { return m_fields.mid(kAddressFields); }
    // The address and data as numbers; false when a field is not two hexadecimal digits.
    bool Decode(ByteAddr& bytAddr, QByteArray& bytData) const;

private:
    static constexpr int kAddressFields = 3;
    QList<QByteArray> m_fields;
};
