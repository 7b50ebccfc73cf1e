#pragma once

#include <QByteArray>
#include <array>

// The memories of a PIC16F877A as the bootloader sees them, addressed by word address.
class DeviceMemory {
public:
    static constexpr int kFlashWords = 8192;
    static constexpr int kBootWords = 0x100;  // the bootloader's own code
    static constexpr int kConfigBase = 0x2000;
    static constexpr int kConfigWord = 0x2007;
    static constexpr int kEepromBytes = 256;
    static constexpr quint16 kErasedWord = 0x3FFF;
    static constexpr quint8 kErasedByte = 0xFF;

    DeviceMemory();

    // Program flash below 0x2000, configuration space from 0x2000 to 0x2007; 0 elsewhere.
    quint16 Word(int address) const;
    bool IsFlashRange(int address, int words) const;
    void SetWord(int address, quint16 value);

    // Words low byte first, as the chip reads them: its address register has 13 bits, so
    // 0x2000 and up read from 0x0000 again and the configuration space cannot be read. An odd
    // count ends with a low byte.
    QByteArray ReadWords(int address, int byteCount) const;
    // Words low byte first; an odd count ends with a low byte.
    void WriteWords(int address, const QByteArray& bytes);

    quint8 Eeprom(int offset) const { return m_eeprom[offset % kEepromBytes]; }
    void SetEeprom(int offset, quint8 value) { m_eeprom[offset % kEepromBytes] = value; }

private:
    bool IsConfigSpace(int address) const {
        return address >= kConfigBase && address < kConfigBase + int(m_config.size());
    }

    std::array<quint16, kFlashWords> m_flash;
    std::array<quint16, 8> m_config;
    std::array<quint8, kEepromBytes> m_eeprom;
};
