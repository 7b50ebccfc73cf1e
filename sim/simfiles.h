#pragma once

#include <QFile>
#include <QString>

// The simulator's own files. What --load reads must be a plain file, looked at without waiting
// on it (a FIFO with no writer would hold the start-up); what --dump writes is opened as the
// simulator starts, so that a path it cannot write ends it before it serves.
namespace SimFiles {
// False with the reason when the path is not a plain file that can be read.
bool CheckInput(const QString& path, QString& reason);
}  // namespace SimFiles

class DumpFile {
public:
    // Opens the file for writing, made when missing, its content kept until Write.
    bool Open(const QString& path, QString& reason);
    // Replaces the content with text; false with the reason when any of it is not written.
    bool Write(const QByteArray& text, QString& reason);

private:
    QFile m_file;
};
