#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <array>

// The memory regions of the device, in the order of ConvertedFiles::kAll.
enum class Region { Flash, EEPROM, UserID, Config };

// The four converted code files, written as streams. Every failure raises RaisedError;
// whatever was written stays.
class ConvertedCodeFiles {
public:
    // Creates the four files empty, replacing earlier ones, in the order Flash, EEPROM,
    // UserID, Config.
    explicit ConvertedCodeFiles(const QString& folder);

    void WriteLine(Region region, const QByteArray& line);
    // Closes the files in creation order.
    void Close();

private:
    std::array<QFile, 4> m_files;
};
