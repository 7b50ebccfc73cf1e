#include "convertedline.h"

#include <QList>
#include <cctype>

namespace {

constexpr int kAddressFields = 3;

std::optional<quint8> HexByte(const QByteArray& field) {
    if (field.size() != 2 || !isxdigit(static_cast<uchar>(field[0])) ||
        !isxdigit(static_cast<uchar>(field[1])))
        return std::nullopt;
    return static_cast<quint8>(field.toUInt(nullptr, 16));
}

}  // namespace

QString AddressTextOf(const QByteArray& text) {
    const QList<QByteArray> fields = text.split(',');
    QString address;
    for (int i = kAddressFields - 1; i >= 0; --i)
        if (i < fields.size()) address += QString::fromLatin1(fields.at(i));
    return address;
}

std::optional<ConvertedLine> ParseConvertedLine(const QByteArray& text) {
    const QList<QByteArray> fields = text.split(',');
    if (fields.size() < kAddressFields) return std::nullopt;
    ConvertedLine line;
    for (int i = 0; i < fields.size(); ++i) {
        const std::optional<quint8> value = HexByte(fields.at(i));
        if (!value) return std::nullopt;
        if (i < kAddressFields)
            line.bytAddr[i] = *value;
        else
            line.bytData.append(static_cast<char>(*value));
    }
    line.addressText = AddressTextOf(text);
    return line;
}
