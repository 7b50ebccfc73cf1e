#pragma once

#include <array>

#include "devicemap.h"
#include "writeblock.h"

// The words of Flash.hx gathered by address first, so that no record order can make one
// write's filler overwrite another's code: a later line wins for the same word. At the end
// come the 32-word rows, aligned to 32 words, that hold any word at or above 0x100, in
// ascending order, 0xFF where the file has nothing. Words past the end of flash are dropped.
class FlashImage : public BlockSource {
public:
    QList<WriteBlock> Add(const WriteBlock& line) override;
    QList<WriteBlock> Finish() override;

private:
    std::array<char, DeviceMap::kFlashWords * 2> m_bytes{};
    std::array<bool, DeviceMap::kFlashWords / DeviceMap::kRowWords> m_rowUsed{};
};
