#include "devicememory.h"

#include "memoryimage.h"

namespace {
constexpr quint16 kDeviceId = 0x0E20;
constexpr int kDeviceIdWord = 0x2006;
// The chip's address register has 13 bits: reads from 0x2000 come from 0x0000 again.
constexpr int kAddressMask = 0x1FFF;
}  // namespace

DeviceMemory::DeviceMemory() {
    m_flash.fill(DeviceMap::kErasedWord);
    m_config.fill(DeviceMap::kErasedWord);
    m_config[kDeviceIdWord - DeviceMap::kUserIdWord] = kDeviceId;
    m_eeprom.fill(DeviceMap::kErasedByte);
}

quint16 DeviceMemory::Word(int address) const {
    if (IsFlashRange(address, 1)) return m_flash[address];
    if (IsConfigSpace(address)) return m_config[address - DeviceMap::kUserIdWord];
    return 0;
}

bool DeviceMemory::IsFlashRange(int address, int words) const {
    return address >= 0 && address + words <= DeviceMap::kFlashWords;
}

void DeviceMemory::SetWord(int address, quint16 value) {
    if (IsFlashRange(address, 1)) m_flash[address] = value & DeviceMap::kFlashMask;
    if (IsConfigSpace(address))
        m_config[address - DeviceMap::kUserIdWord] = value & DeviceMap::kFlashMask;
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

void DeviceMemory::Load(const MemoryImage& image) {
    for (const int word : image.Words(0, DeviceMap::kEndWord)) {
        if (DeviceMap::RegionOf(word) == DeviceMap::Region::Eeprom)
            SetEeprom(word - DeviceMap::kEepromWord, quint8(image.Word(word)));
        else
            SetWord(word, image.Word(word));
    }
}

MemoryImage DeviceMemory::Image() const {
    MemoryImage image;
    for (int word = 0; word < DeviceMap::kEndWord; ++word) {
        const auto region = DeviceMap::RegionOf(word);
        if (region == DeviceMap::Region::Eeprom)
            image.Set(word, Eeprom(word - DeviceMap::kEepromWord));
        else if (region != DeviceMap::Region::None)
            image.Set(word, Word(word));
    }
    return image;
}
