#include "devicememory.h"

namespace {
constexpr quint16 kDeviceId = 0x0E20;
constexpr int kDeviceIdWord = 0x2006;
constexpr quint16 kWordMask = 0x3FFF;  // program memory words are 14 bits wide
constexpr int kAddressMask = 0x1FFF;
}  // namespace

DeviceMemory::DeviceMemory() {
    m_flash.fill(kErasedWord);
    m_config.fill(kErasedWord);
    m_config[kDeviceIdWord - kConfigBase] = kDeviceId;
    m_eeprom.fill(kErasedByte);
}

quint16 DeviceMemory::Word(int address) const {
    if (IsFlashRange(address, 1)) return m_flash[address];
    if (IsConfigSpace(address)) return m_config[address - kConfigBase];
    return 0;
}

bool DeviceMemory::IsFlashRange(int address, int words) const {
    return address >= 0 && address + words <= kFlashWords;
}

void DeviceMemory::SetWord(int address, quint16 value) {
    if (IsFlashRange(address, 1)) m_flash[address] = value & kWordMask;
    if (IsConfigSpace(address)) m_config[address - kConfigBase] = value & kWordMask;
}

QByteArray DeviceMemory::ReadWords(int address, int byteCount) const {
    QByteArray bytes;
    for (int i = 0; i < byteCount; ++i) {
        const quint16 word = Word(((address & kAddressMask) + i / 2) & kAddressMask);
        bytes.append(char(i % 2 == 0 ? word & 0xFF : word >> 8));
    }
    return bytes;
}

void DeviceMemory::WriteWords(int address, const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const int target = address + int(i / 2);
        const quint16 high = i + 1 < bytes.size() ? quint8(bytes[i + 1]) : Word(target) >> 8;
        SetWord(target, quint16(high << 8 | quint8(bytes[i])));
    }
}
