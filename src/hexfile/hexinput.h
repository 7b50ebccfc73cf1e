#pragma once

#include <QByteArray>
#include <QString>

#include "linereader.h"

// The HEX file as a stream of lines; a file that cannot be opened or read raises RaisedError.
class HexInput {
public:
    explicit HexInput(const QString& path);

    // False at the end of the file.
    bool ReadLine(QByteArray& line);
    void Close() { m_reader.Close(); }

private:
    LineReader m_reader;
};
