#include "convertedline.h"

#include <cctype>

namespace {

bool HexByte(const QByteArray& field, quint8& value) {
    if (field.size() != 2 || !isxdigit(static_cast<uchar>(field[0])) ||
        !isxdigit(static_cast<uchar>(field[1])))
        return false;
    value = static_cast<quint8>(field.toUInt(nullptr, 16));
    return true;
}

}  // namespace

QString ConvertedLine::AddressText() const {
    QString address;
    for (int i = kAddressFields - 1; i >= 0; --i) address += QString::fromLatin1(m_fields.value(i));
    return address;
}

bool ConvertedLine::Decode(ByteAddr& bytAddr, QByteArray& bytData) const {
    if (m_fields.size() < kAddressFields) return false;
    bytData.clear();
    for (int i = 0; i < m_fields.size(); ++i) {
        quint8 value = 0;
        if (!HexByte(m_fields.at(i), value)) return false;
        if (i < kAddressFields)
            bytAddr[i] = value;
        else
            bytData.append(static_cast<char>(value));
    }
    return true;
}
