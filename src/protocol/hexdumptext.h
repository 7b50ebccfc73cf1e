#pragma once

#include <QByteArray>
#include <functional>

// A PIC16F877A's memories as Intel HEX in the assembler's layout, erased rows left out, so that
// a dump compares directly with the file that was imported. kestrel-sim's dump and
// kestrel-cli's read both write it.
namespace HexDump {
constexpr int kFlashWords = 0x2000;
constexpr int kUserIdWord = 0x2000;
constexpr int kUserIdWords = 4;
constexpr int kConfigWord = 0x2007;
constexpr int kEepromBytes = 256;
constexpr int kEepromByteAddress = 0x4200;  // EEPROM byte N is the low byte of word 0x2100 + N
constexpr quint16 kErasedWord = 0x3FFF;
constexpr quint8 kErasedByte = 0xFF;

using WordAt = std::function<quint16(int word)>;
using EepromAt = std::function<quint8(int offset)>;

QByteArray Text(const WordAt& wordAt, const EepromAt& eepromAt);
}  // namespace HexDump
