#pragma once

#include "writeblock.h"

// Gathers Flash.hx lines into 64-byte blocks by address, so that data always lands at its own
// address whatever the record lengths and gaps of the file: a block opens at its first line at
// or above word 0x100 and covers 32 words; gaps and the unwritten rest are 0xFF. A line that
// goes back or starts beyond the block closes it; a line that runs past its end is split.
class FlashBlockAssembler : public BlockSource {
public:
    static constexpr quint32 kBlockBytes = 64;
    static constexpr quint32 kFirstWord = 0x100;  // the words below are the bootloader's own

    QList<WriteBlock> Add(const WriteBlock& line) override;
    QList<WriteBlock> Finish() override;

private:
    void Open(quint32 start, const QString& addressText);
    WriteBlock Close();

    bool m_open = false;
    quint32 m_start = 0;  // byte address of the open block
    quint32 m_end = 0;    // byte address just past the last byte placed
    QString m_addressText;
    QByteArray m_data;
};
