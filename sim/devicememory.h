#pragma once

#include <QByteArray>
#include <array>

#include "devicemap.h"

class MemoryImage;

// The memories of a PIC16F877A as the bootloader sees them, addressed by word address.
class DeviceMemory {
public:
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

    quint8 Eeprom(int offset) const { return m_eeprom[offset % DeviceMap::kEepromBytes]; }
    void SetEeprom(int offset, quint8 value) { m_eeprom[offset % DeviceMap::kEepromBytes] = value; }

    // Takes every word the image sets; the rest stays as it is.
    void Load(const MemoryImage& image);
    // Flash, user ID, configuration and EEPROM as an image, every word set.
    MemoryImage Image() const;

private:
    bool IsConfigSpace(int address) const {
        return address >= DeviceMap::kUserIdWord &&
               address < DeviceMap::kUserIdWord + int(m_config.size());
    }

    std::array<quint16, DeviceMap::kFlashWords> m_flash;
    std::array<quint16, DeviceMap::kConfigSpaceWords> m_config;
    std::array<quint8, DeviceMap::kEepromBytes> m_eeprom;
};
