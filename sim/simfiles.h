#pragma once

#include <QFile>
#include <QString>

class DeviceMemory;

// The simulator's own files. What --load reads must be a plain file, looked at without waiting
// on it (a FIFO with no writer would hold the start-up); what --dump writes is opened as the
// simulator starts, so that a path it cannot write ends it before it serves.
namespace SimFiles {
// Lays what the HEX file sets over the memory; empty, or the message that says why not.
QString LoadMemory(DeviceMemory& memory, const QString& path);
}  // namespace SimFiles

class DumpFile {
public:
    // Opens the file for writing, made when missing, its content kept until Save; empty, or
    // the message that says why not.
    QString Open(const QString& path);
    // Replaces the content with the memory as Intel HEX; empty, or the message.
    QString Save(const DeviceMemory& memory);

private:
    QFile m_file;
    QString m_path;
};
