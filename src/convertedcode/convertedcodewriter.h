#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <array>

#include "convertedfiles.h"

// The four converted code files, written as streams; whatever was written stays.
class ConvertedCodeWriter {
public:
    // Creates the four files empty, replacing earlier ones of the user's, in the order Flash,
    // EEPROM, UserID, Config. False when one cannot be created (see CreateOwnFile).
    bool Create(const QString& folder);
    // Writes the line and its CR LF.
    bool WriteLine(MemoryRegion region, const QByteArray& line);
    // Closes the files in creation order.
    bool Close();

private:
    std::array<QFile, 4> m_files;
};
