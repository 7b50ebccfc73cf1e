#pragma once

#include <QMap>

#include "clshexcomm.h"
#include "testmain.h"

// Every bootloader command of the link by name, at one address; the data read comes back in
// the second argument.
using LinkCall = bool (*)(clsHexComm&, QByteArray&);
inline const ByteAddr kCallAt{0x07, 0x20, 0x00};
inline const QByteArray kCallBlock = Hex("01020304050607080909");  // a byte more than a block
inline const QMap<QString, LinkCall> kLinkCalls{
    {"version", [](auto& c, auto& d) { return c.blnReadBootVersion(2, d); }},
    {"reset", [](auto& c, auto&) { return c.blnResetPIC(); }},
    {"read program", [](auto& c, auto& d) { return c.blnReadProgram(4, kCallAt, d); }},
    {"read eeprom", [](auto& c, auto& d) { return c.blnReadEEPROM(2, kCallAt, d); }},
    {"read config", [](auto& c, auto& d) { return c.blnReadConfig(2, kCallAt, d); }},
    {"write program", [](auto& c, auto&) { return c.blnWriteProgram(1, kCallAt, kCallBlock); }},
    {"write eeprom", [](auto& c, auto&) { return c.blnWriteEEPROM(2, kCallAt, Hex("0f33")); }},
    {"write config", [](auto& c, auto&) { return c.blnWriteConfig(2, kCallAt, Hex("723f")); }},
    {"erase", [](auto& c, auto&) { return c.blnEraseProgram(2, kCallAt); }},
    {"erase none", [](auto& c, auto&) { return c.blnEraseProgram(0, kCallAt); }},
};
