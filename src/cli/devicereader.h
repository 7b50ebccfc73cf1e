#pragma once

#include <QList>
#include <array>

#include "hexdumptext.h"

struct CommandContext;

// The device's memories as read back; what was not read stays erased.
struct DeviceImage {
    DeviceImage();

    std::array<quint16, HexDump::kFlashWords> flash;
    std::array<quint16, 8> config;  // words 0x2000 to 0x2007
    std::array<quint8, HexDump::kEepromBytes> eeprom;
};

// Reads memory with the link's read commands, 64 bytes a request, showing progress under its
// own status for each memory. Each returns false after the link's message.
class DeviceReader {
public:
    static constexpr int kChunkBytes = 64;
    static constexpr int kRowWords = kChunkBytes / 2;

    DeviceReader(CommandContext& context, DeviceImage& image)
        : m_context(context), m_image(image) {}

    // The 32-word rows that start at the given word addresses.
    bool Flash(const QList<int>& rows);
    // The 64-byte chunks that start at the given offsets.
    bool Eeprom(const QList<int>& chunks);
    bool Config();

private:
    void Start(const QString& status, int total);
    bool Done();

    CommandContext& m_context;
    DeviceImage& m_image;
};
