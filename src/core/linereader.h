#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a text file line by line as a stream. A line ends at CR LF, at LF or at a lone CR;
// a last line without an ending is still a line.
class LineReader {
public:
    explicit LineReader(const QString& path);

    bool Open();  // false when the file cannot be opened for reading
    bool AtEnd();
    // Reads the next line without its ending. False at the end of the file or on a read error.
    bool ReadLine(QByteArray& line);
    bool HasError() const { return m_error; }
    void Close();

private:
    bool Fill();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_error = false;
};
