#include "hexdump.h"

#include "devicememory.h"
#include "hexdumptext.h"

QByteArray HexDumpOf(const DeviceMemory& memory) {
    return HexDump::Text([&](int word) { return memory.Word(word); },
                         [&](int offset) { return memory.Eeprom(offset); });
}
