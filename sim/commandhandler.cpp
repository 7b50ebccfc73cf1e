#include "commandhandler.h"

#include "commandcode.h"
#include "devicememory.h"

namespace {
constexpr quint8 kVersionOrReset = quint8(CommandCode::VersionOrReset);
constexpr quint8 kReadProgram = quint8(CommandCode::ReadProgram);
constexpr quint8 kWriteProgram = quint8(CommandCode::WriteProgram);
constexpr quint8 kErase = quint8(CommandCode::EraseProgram);
constexpr quint8 kReadEeprom = quint8(CommandCode::ReadEEPROM);
constexpr quint8 kWriteEeprom = quint8(CommandCode::WriteEEPROM);
constexpr quint8 kWriteConfig = quint8(CommandCode::WriteConfig);
constexpr int kHeader = int(Protocol::kAddressedHeader);
constexpr int kVersionHeader = int(Protocol::kVersionHeader);
constexpr int kBlockBytes = int(Protocol::kWriteBlockBytes);
constexpr int kEraseBlockWords = Protocol::kEraseRowWords;

const QString kResetText = QStringLiteral("reset");
const QString kVersionText = QStringLiteral("read-version %1 bytes: v%2.%3");
const QString kDataText = QStringLiteral("%1 %2 %3 bytes: data");
const QString kAckText = QStringLiteral("%1 %2 %3 bytes: ack");
const QString kEraseText = QStringLiteral("erase-flash %1 %2 rows: ack");
const QString kRefusedText = QStringLiteral("%1 %2 %3 bytes: refused (%4): no reply");
const QString kUnknownText = QStringLiteral("unknown command %1: no reply");
const QString kBadLengthText = QStringLiteral("bad length for command %1: no reply");
const QString kEmptyText = QStringLiteral("empty frame: ignored");
const QString kBootArea = QStringLiteral("bootloader area");
const QString kOutside = QStringLiteral("outside program flash");
const QString kOffBlock = QStringLiteral("off a 4-word block");
const QString kBlockCount = QStringLiteral("1 to 8 blocks");
const QString kByteCount = QStringLiteral("1 to 74 bytes");
const QString kRowCount = QStringLiteral("1 to 8 rows");
const QString kNoConfig = QStringLiteral("the chip cannot write its configuration");
// The firmware's limits: a request of its buffer's size or more matches no length.
constexpr int kMaxBlocks = 8;
constexpr int kMaxEepromBytes = 74;
constexpr int kBlockWords = DeviceMap::kWriteBlockWords;

QString Hex(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// Payload length each code must have, given its count byte.
int ExpectedLength(quint8 code, int count) {
    switch (code) {
        case kWriteProgram:
            return kHeader + count * kBlockBytes;
        case kErase:
        case kWriteEeprom:
        case kWriteConfig:
            return kHeader + count;
        default:
            return kHeader;
    }
}

}  // namespace

HandledRequest CommandHandler::Handle(const QByteArray& payload) {
    if (payload.isEmpty()) return {kEmptyText, {}, 0, {}};
    const quint8 code = quint8(payload[0]);
    if (code == kVersionOrReset) return Version(payload);
    const bool known = code == kReadProgram || code == kWriteProgram || code == kErase ||
                       code == kReadEeprom || code == kWriteEeprom || code == kWriteConfig;
    if (!known) return {kUnknownText.arg(Hex(code, 2)), {}, 0, {}};
    const int count = payload.size() > 1 ? quint8(payload[1]) : 0;
    if (payload.size() < kHeader || payload.size() != ExpectedLength(code, count))
        return {kBadLengthText.arg(Hex(code, 2)), {}, 0, {}};
    const Request request{code, count,
                          quint8(payload[2]) | quint8(payload[3]) << 8 | quint8(payload[4]) << 16,
                          payload.left(kHeader), payload.mid(kHeader)};
    switch (code) {
        case kReadProgram:
            return ReadProgram(request);
        case kWriteProgram:
            return WriteProgram(request);
        case kErase:
            return Erase(request);
        case kReadEeprom:
            return ReadEeprom(request);
        case kWriteEeprom:
            return WriteEeprom(request);
        default:
            return WriteConfig(request);
    }
}

// The third byte, FF in the hosts' requests, is not looked at.
HandledRequest CommandHandler::Version(const QByteArray& payload) const {
    if (payload.size() != Protocol::ResetPayload().size())
        return {kBadLengthText.arg(Hex(kVersionOrReset, 2)), {}, 0, {}};
    const int count = quint8(payload[1]);
    if (count == 0) return {kResetText, {}, 0, {}};
    // Minor first, then the major for every further byte asked.
    QByteArray data(count, char(m_major));
    data[0] = char(m_minor);
    return {kVersionText.arg(count).arg(m_major).arg(m_minor),
            payload.left(kVersionHeader) + data,
            kVersionHeader,
            {}};
}

HandledRequest CommandHandler::ReadProgram(const Request& request) const {
    const QString what = request.address >= DeviceMap::kUserIdWord ? QStringLiteral("read-config")
                                                                   : QStringLiteral("read-flash");
    return {kDataText.arg(what, Hex(request.address, 6)).arg(request.count),
            request.header + m_memory.ReadWords(request.address, request.count),
            kHeader,
            {}};
}

HandledRequest CommandHandler::WriteProgram(const Request& request) {
    const QString what = QStringLiteral("write-flash");
    const int words = int(request.data.size()) / 2;
    if (request.count < 1 || request.count > kMaxBlocks) return Refused(request, what, kBlockCount);
    if (const QString why = FlashRangeError(request.address, words); !why.isEmpty())
        return Refused(request, what, why);
    m_memory.WriteWords(request.address, request.data);
    return {kAckText.arg(what, Hex(request.address, 6)).arg(request.data.size()),
            QByteArray(1, char(request.code)), 0, FlashTime(int(request.data.size()))};
}

// Why a write or erase of these words is refused; empty when it is not.
QString CommandHandler::FlashRangeError(int address, int words) const {
    if (address < DeviceMap::kFirstAppWord) return kBootArea;
    if (!m_memory.IsFlashRange(address, words)) return kOutside;
    if (address % kBlockWords != 0) return kOffBlock;
    return {};
}

HandledRequest CommandHandler::Erase(const Request& request) {
    const QString what = QStringLiteral("erase-flash");
    const int words = request.count * kEraseBlockWords;
    if (request.count < 1 || request.count > kMaxBlocks) return Refused(request, what, kRowCount);
    if (const QString why = FlashRangeError(request.address, words); !why.isEmpty())
        return Refused(request, what, why);
    for (int i = 0; i < words; ++i) m_memory.SetWord(request.address + i, DeviceMap::kErasedWord);
    return {kEraseText.arg(Hex(request.address, 6)).arg(request.count),
            QByteArray(1, char(request.code)), 0, FlashTime(words * 2)};
}

HandledRequest CommandHandler::ReadEeprom(const Request& request) const {
    QByteArray data;
    for (int i = 0; i < request.count; ++i) data.append(char(m_memory.Eeprom(request.address + i)));
    return {
        kDataText.arg(QStringLiteral("read-eeprom"), Hex(request.address, 6)).arg(request.count),
        request.header + data,
        kHeader,
        {}};
}

HandledRequest CommandHandler::WriteEeprom(const Request& request) {
    if (request.count < 1 || request.count > kMaxEepromBytes)
        return Refused(request, QStringLiteral("write-eeprom"), kByteCount);
    // Only the low address byte reaches the EEPROM address register.
    for (int i = 0; i < request.count; ++i)
        m_memory.SetEeprom(request.address + i, quint8(request.data[i]));
    return {
        kAckText.arg(QStringLiteral("write-eeprom"), Hex(request.address, 6)).arg(request.count),
        QByteArray(1, char(request.code)), 0, m_times.eepromByte * request.count};
}

HandledRequest CommandHandler::WriteConfig(const Request& request) {
    return Refused(request, QStringLiteral("write-config"), kNoConfig);
}

HandledRequest CommandHandler::Refused(const Request& request, const QString& what,
                                       const QString& why) const {
    return {kRefusedText.arg(what, Hex(request.address, 6)).arg(request.data.size()).arg(why),
            {},
            0,
            {}};
}
