#include "modconverthexfile.h"

#include "hexfield.h"
#include "hexfiletexts.h"
#include "raisederror.h"

namespace modConvertHexFile {

qint16 intEEPROMAddress = 0;
qint32 lngEEPROMHalf = 0;
QByteArray strEEPROMLine;

namespace {
constexpr int kHeaderBytes = 4;  // byte count, two address bytes, record type
constexpr int kEEPROMLineBytes = 16;
constexpr qsizetype kEveryByte = 2;
constexpr qsizetype kLowBytes = 4;  // every second byte: the low byte of each word

// The data part: from just after the colon and header up to the checksum.
QByteArrayView DataPart(QByteArrayView line) {
    return Mid(line, 10, line.size() - 11);
}

void AppendPairs(QByteArray& out, QByteArrayView data, qsizetype step) {
    for (qsizetype i = 0; i < data.size(); i += step) {
        out += ',';
        out += data.sliced(i, std::min<qsizetype>(2, data.size() - i));
    }
}

// Two upper-case hexadecimal digits per address byte, least significant first.
QByteArray AddressFields(QByteArrayView strAddress) {
    const QByteArray word =
        QByteArray::number(HexField(strAddress) / 2, 16).toUpper().rightJustified(4, '0');
    return word.right(2) + ',' + word.left(2) + ",00";
}

QByteArray ConvertLine(QByteArrayView strAddress, QByteArrayView strLine, qsizetype step) {
    QByteArray line = AddressFields(strAddress);
    AppendPairs(line, DataPart(strLine), step);
    return line;
}
}  // namespace

void ResetEEPROMLine() {
    intEEPROMAddress = 0;
    lngEEPROMHalf = 0;
    strEEPROMLine.clear();
}

bool blnHexLineError(QByteArray strLine, QString& strMessage) {
    // The byte count is read before the colon test, so a bad count raises first.
    const quint32 byteCount = HexField(Mid(strLine, 2, 2));
    if (!strLine.startsWith(':')) {
        strMessage = HexFileText::kMissingColon;
        return true;
    }
    strLine.remove(0, 1);
    quint32 sum = 0;
    qsizetype counted = 0;
    for (qsizetype p = 1; p <= strLine.size() - 2; p += 2) {
        sum += HexField(Mid(strLine, p, 2));
        ++counted;
    }
    if (static_cast<qsizetype>(byteCount) != counted - kHeaderBytes) {
        strMessage = HexFileText::kByteCount;
        return true;
    }
    const quint32 expected = ((sum ^ 0xFF) + 1) & 0xFF;
    if (HexField(strLine.right(2)) != expected) {
        strMessage = HexFileText::kCheckSum;
        return true;
    }
    return false;
}

QByteArray strConvertCodeLine(QByteArrayView strAddress, QByteArrayView strLine) {
    return ConvertLine(strAddress, strLine, kEveryByte);
}

QByteArray strConvertUserIDLine(QByteArrayView strAddress, QByteArrayView strLine) {
    return ConvertLine(strAddress, strLine, kLowBytes);
}

void ConvertEEPROMLine(QByteArrayView strLine) {
    if (lngEEPROMHalf == 0) {
        // Only the last two digits are written, so the address wraps after 256 bytes.
        strEEPROMLine = ("00" + QByteArray::number(intEEPROMAddress, 16).toUpper()).right(2);
        strEEPROMLine += ",21,00";
        AppendPairs(strEEPROMLine, DataPart(strLine), kLowBytes);
        lngEEPROMHalf = 1;
        return;
    }
    AppendPairs(strEEPROMLine, DataPart(strLine), kLowBytes);
    lngEEPROMHalf = 0;
    // The offset is a 16-bit count; like the line count, it raises when it overflows.
    if (intEEPROMAddress > INT16_MAX - kEEPROMLineBytes) throw RaisedError();
    intEEPROMAddress = static_cast<qint16>(intEEPROMAddress + kEEPROMLineBytes);
}

}  // namespace modConvertHexFile
