#pragma once

#include <QFile>
#include <QString>

// Opens a converted code file for writing, emptied, without ever following a link: the program
// folder may be shared, and Kestrel may run as root. A name that is a link, anything but a
// regular file, another user's file or a file with a second name is left as it is. False when
// the file cannot be had.
bool CreateOwnFile(QFile& file, const QString& path);
