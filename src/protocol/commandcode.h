#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "devicemap.h"

// The bootloader's command codes: the first payload byte of a request and of its reply.
enum class CommandCode : quint8 {
    VersionOrReset = 0x00,
    ReadProgram = 0x01,
    WriteProgram = 0x02,
    EraseProgram = 0x03,
    ReadEEPROM = 0x04,
    WriteEEPROM = 0x05,
    WriteConfig = 0x07,
};

namespace Protocol {
// Code and count byte, then the three address bytes: the head of every addressed request,
// echoed at the front of a read reply.
constexpr qsizetype kAddressedHeader = 5;
// Code and count byte: the head of the version request and of its reply.
constexpr qsizetype kVersionHeader = 2;
// The version request's third byte.
constexpr quint8 kNoArgument = 0xFF;
// A write-program count counts the chip's write blocks; an erase counts rows.
constexpr qsizetype kWriteBlockBytes = DeviceMap::kWriteBlockWords * 2;
constexpr int kEraseRowWords = DeviceMap::kRowWords;
// The reset request: a version code with a count of 0. Nothing answers it.
inline QByteArray ResetPayload() {
    return QByteArray::fromHex("0000ff");
}
}  // namespace Protocol
