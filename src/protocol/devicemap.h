#pragma once

#include <QtGlobal>

// The PIC16F877A as the bootloader serves it, by word address: program flash, the user ID
// words, the configuration word, and EEPROM byte N as word 0x2100 + N (the HEX file's byte
// address 0x4200 + 2N). Everything else that knows the device's layout asks here.
namespace DeviceMap {

enum class Region { Flash, UserId, Config, Eeprom, None };

constexpr int kFlashWords = 0x2000;
constexpr int kFirstAppWord = 0x100;  // the words below are the bootloader's own
constexpr int kRowWords = 32;         // one flash write, one erase block
constexpr int kWriteBlockWords = 4;   // the chip programs four words at a time
constexpr int kUserIdWord = 0x2000;
constexpr int kUserIdWords = 4;
constexpr int kConfigWord = 0x2007;
constexpr int kConfigSpaceWords = 8;  // 0x2000 to 0x2007, read in one go
constexpr int kEepromWord = 0x2100;
constexpr int kEepromBytes = 256;
constexpr int kEndWord = kEepromWord + kEepromBytes;
constexpr quint16 kFlashMask = 0x3FFF;  // a flash word keeps 14 bits
constexpr quint16 kEepromMask = 0x00FF;
constexpr quint16 kErasedWord = 0x3FFF;
constexpr quint8 kErasedByte = 0xFF;

constexpr Region RegionOf(int word) {
    if (word >= 0 && word < kFlashWords) return Region::Flash;
    if (word >= kUserIdWord && word < kUserIdWord + kUserIdWords) return Region::UserId;
    if (word == kConfigWord) return Region::Config;
    if (word >= kEepromWord && word < kEndWord) return Region::Eeprom;
    return Region::None;
}

// The bits a word of the region keeps, and its value when nothing was written.
constexpr quint16 MaskOf(int word) {
    return RegionOf(word) == Region::Eeprom ? kEepromMask : kFlashMask;
}
constexpr quint16 ErasedOf(int word) {
    return RegionOf(word) == Region::Eeprom ? kErasedByte : kErasedWord;
}

// The 32-word row that holds the word.
constexpr int RowOf(int word) {
    return word / kRowWords * kRowWords;
}

}  // namespace DeviceMap
