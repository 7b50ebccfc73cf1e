#pragma once

#include <array>

#include "writeblock.h"

// The words of Flash.hx gathered by address first, so that no record order can make one
// write's filler overwrite another's code: a later line wins for the same word. At the end
// come the 32-word rows, aligned to 32 words, that hold any word at or above 0x100, in
// ascending order, 0xFF where the file has nothing. Words past the end of flash are dropped.
class FlashImage : public BlockSource {
public:
    static constexpr quint32 kRowWords = 32;
    static constexpr quint32 kFirstWord = 0x100;  // the words below are the bootloader's own
    static constexpr quint32 kFlashWords = 0x2000;

    QList<WriteBlock> Add(const WriteBlock& line) override;
    QList<WriteBlock> Finish() override;

private:
    std::array<char, kFlashWords * 2> m_bytes{};
    std::array<bool, kFlashWords / kRowWords> m_rowUsed{};
};
