#include "hexdump.h"

#include <QFile>

#include "devicememory.h"
#include "hexdumptext.h"

bool WriteHexDump(const DeviceMemory& memory, const QString& path) {
    const QByteArray text = HexDump::Text([&](int word) { return memory.Word(word); },
                                          [&](int offset) { return memory.Eeprom(offset); });
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
