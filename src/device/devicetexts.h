#pragma once

#include <QString>

// Every text the device commands show.
namespace DeviceText {
inline const QString kConnecting = QStringLiteral("Connecting to PIC...");
inline const QString kVersionFormat = QStringLiteral("v%1.%2");
inline const QString kUnableToReset = QStringLiteral("Unable to reset PIC proccessor");
// The program's own title, whatever its executable is called.

inline const QString kNothingSelected =
    QStringLiteral("Please first select a code section to program from the Device menu");
inline const QString kNothingSelectedTitle = QStringLiteral("No code section selected");

inline const QString kProgrammingFlash = QStringLiteral("Programming Flash...");
inline const QString kFlashMissing =
    QStringLiteral("Converted program flash code file does not exist");
inline const QString kFlashFailed = QStringLiteral("Unable to program flash memory address:");
inline const QString kFlashTitle = QStringLiteral("Flash Program Error");

inline const QString kProgrammingEEPROM = QStringLiteral("Programming EEPROM...");
inline const QString kEEPROMMissing = QStringLiteral("Converted EEPROM code file does not exist");
inline const QString kEEPROMFailed = QStringLiteral("Unable to program EEPROM memory address:");
inline const QString kEEPROMTitle = QStringLiteral("EEPROM Program Error");
}  // namespace DeviceText
