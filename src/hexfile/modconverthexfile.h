#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// Checks Intel HEX records and turns them into lines of the converted code files.
// Fields that are not hexadecimal raise RaisedError.
namespace modConvertHexFile {

// The EEPROM line being built: two records make one line.
extern qint16 intEEPROMAddress;  // EEPROM offset of the next line
extern qint32 lngEEPROMHalf;     // 1 while the line holds its first record only
extern QByteArray strEEPROMLine;

void ResetEEPROMLine();

// True when the line fails a check; strMessage then holds the reason, else it is untouched.
bool blnHexLineError(QByteArray strLine, QString& strMessage);

// The Flash.hx or Config.hx line for a record; strAddress is the record's address field.
QByteArray strConvertCodeLine(QByteArrayView strAddress, QByteArrayView strLine);

// The UserID.hx line for a record: the low byte of each word.
QByteArray strConvertUserIDLine(QByteArrayView strAddress, QByteArrayView strLine);

// Adds a record's low bytes to strEEPROMLine; the line is complete when lngEEPROMHalf is 0.
void ConvertEEPROMLine(QByteArrayView strLine);

}  // namespace modConvertHexFile
