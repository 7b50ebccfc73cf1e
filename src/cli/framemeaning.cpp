#include "framemeaning.h"

#include <algorithm>

#include "byteaddr.h"
#include "commandcode.h"
#include "framereader.h"

namespace FrameMeaning {

namespace {
const QString kAddressed = QStringLiteral("%1 %2 %3 %4");
const QString kVersion = QStringLiteral("read-version %1 bytes");
const QString kReset = QStringLiteral("reset");
const QString kAck = QStringLiteral("ack");
const QString kData = QStringLiteral("data %1 bytes");
const QString kDamaged = QStringLiteral("damaged");
const QString kUnknown = QStringLiteral("unknown");

quint8 Code(const QByteArray& payload) {
    return payload.isEmpty() ? 0xFF : quint8(payload[0]);
}

int Count(const QByteArray& payload) {
    return payload.size() > 1 ? quint8(payload[1]) : 0;
}

bool ExpectsData(quint8 code) {
    return code == quint8(CommandCode::VersionOrReset) ||
           code == quint8(CommandCode::ReadProgram) || code == quint8(CommandCode::ReadEEPROM);
}

QString Name(quint8 code, quint32 word) {
    switch (CommandCode(code)) {
        case CommandCode::ReadProgram:
            return word >= quint32(DeviceMap::kUserIdWord) ? QStringLiteral("read-config")
                                                           : QStringLiteral("read-flash");
        case CommandCode::WriteProgram:
            return QStringLiteral("write-flash");
        case CommandCode::EraseProgram:
            return QStringLiteral("erase-flash");
        case CommandCode::ReadEEPROM:
            return QStringLiteral("read-eeprom");
        case CommandCode::WriteEEPROM:
            return QStringLiteral("write-eeprom");
        case CommandCode::WriteConfig:
            return QStringLiteral("write-config");
        default:
            return kUnknown;
    }
}
}  // namespace

QString OfRequest(const QByteArray& payload) {
    const quint8 code = Code(payload);
    if (payload == Protocol::ResetPayload()) return kReset;
    if (code == quint8(CommandCode::VersionOrReset)) return kVersion.arg(Count(payload));
    if (payload.size() < Protocol::kAddressedHeader) return kUnknown;
    const quint32 word = WordOf({quint8(payload[2]), quint8(payload[3]), quint8(payload[4])});
    const bool erase = code == quint8(CommandCode::EraseProgram);
    return kAddressed.arg(Name(code, word))
        .arg(QStringLiteral("%1").arg(word, 6, 16, QLatin1Char('0')).toUpper())
        .arg(erase ? Count(payload) : DataBytes(payload))
        .arg(erase ? QStringLiteral("blocks") : QStringLiteral("bytes"));
}

QString OfReply(const QByteArray& reply, const QByteArray& requestPayload) {
    const quint8 code = Code(requestPayload);
    QByteArray payload;
    if (FrameReader::FirstFrame(reply, payload) != FrameReader::Result::Valid ||
        !payload.startsWith(char(code)))
        return kDamaged;
    if (!ExpectsData(code)) return kAck;
    const qsizetype header = code == quint8(CommandCode::VersionOrReset)
                                 ? Protocol::kVersionHeader
                                 : Protocol::kAddressedHeader;
    return kData.arg(std::max<qsizetype>(payload.size() - header, 0));
}

int DataBytes(const QByteArray& payload) {
    switch (CommandCode(Code(payload))) {
        case CommandCode::WriteProgram:
            return Count(payload) * int(Protocol::kWriteBlockBytes);
        case CommandCode::ReadProgram:
        case CommandCode::ReadEEPROM:
        case CommandCode::WriteEEPROM:
        case CommandCode::WriteConfig:
            return Count(payload);
        default:
            return 0;
    }
}

}  // namespace FrameMeaning
