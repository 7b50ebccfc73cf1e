#pragma once

#include <QString>

// The command line's own status texts, beside the window's.
namespace CliText {
inline const QString kReadingFlash = QStringLiteral("Reading Flash...");
inline const QString kReadingEEPROM = QStringLiteral("Reading EEPROM...");
inline const QString kReadingConfig = QStringLiteral("Reading Config...");
}  // namespace CliText
