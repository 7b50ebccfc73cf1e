#pragma once

#include <QString>
#include <array>

// The memory regions of the device, in the order of their converted code files.
enum class MemoryRegion { Flash, EEPROM, UserID, Config };

// The four converted code files, in the order they are created and cleared.
namespace ConvertedFiles {
inline const QString kFlash = QStringLiteral("Flash.hx");
inline const QString kEEPROM = QStringLiteral("EEPROM.hx");
inline const QString kUserID = QStringLiteral("UserID.hx");
inline const QString kConfig = QStringLiteral("Config.hx");
inline const std::array<QString, 4> kAll = {kFlash, kEEPROM, kUserID, kConfig};

inline QString PathOf(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}
inline QString PathOf(const QString& folder, MemoryRegion region) {
    return PathOf(folder, kAll[static_cast<std::size_t>(region)]);
}
}  // namespace ConvertedFiles
