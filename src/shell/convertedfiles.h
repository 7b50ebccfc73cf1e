#pragma once

#include <QString>
#include <array>

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
}  // namespace ConvertedFiles
