#pragma once

#include <QString>

// Every text the import shows, in one place.
namespace HexFileText {
inline const QString kFilter =
    QStringLiteral("Hex Files (*.hex);;Text Files (*.txt);;All Files (*.*)");
inline const QString kImporting = QStringLiteral("Importing Hex File...");
inline const QString kSuccess = QStringLiteral("Success...");
inline const QString kFailed = QStringLiteral("Failed...");

inline const QString kFileMissing = QStringLiteral("The hex file selected does not exist!");
inline const QString kSelectAnother = QStringLiteral("Select another hex file");

inline const QString kFormatError = QStringLiteral("Format Error");
inline const QString kMissingColon = QStringLiteral("Missing colon ':' at start of line");
inline const QString kByteCount =
    QStringLiteral("Number of data bytes not equal to line byte counter");
inline const QString kCheckSum = QStringLiteral("Incorrect line check sum value");
inline const QString kIncorrectAddress = QStringLiteral("Incorrect address detected");
inline const QString kNot32Bit = QStringLiteral("Hex file is not a 32-bit address hex format file");

inline const QString kIncorrectFormat = QStringLiteral("Incorrect hex file format");
inline const QString kRecordType = QStringLiteral("Record type field incorrect");
}  // namespace HexFileText
