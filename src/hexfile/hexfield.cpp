#include "hexfield.h"

#include <algorithm>

#include "raisederror.h"

namespace {
constexpr qsizetype kMaxDigits = 8;

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

quint32 HexField(QByteArrayView field) {
    if (field.isEmpty() || field.size() > kMaxDigits) throw RaisedError();
    quint32 value = 0;
    for (const char c : field) {
        const int digit = DigitValue(c);
        if (digit < 0) throw RaisedError();
        value = value * 16 + static_cast<quint32>(digit);
    }
    return value;
}

QByteArrayView Mid(QByteArrayView text, qsizetype position, qsizetype length) {
    const qsizetype start = std::clamp<qsizetype>(position - 1, 0, text.size());
    return text.sliced(start, std::clamp<qsizetype>(length, 0, text.size() - start));
}
