#pragma once

#include <QList>

#include "writeblock.h"

// The progress bar's value while a region goes out: the lines of its file whose data the
// device has acknowledged. A line is done when the last write that holds any of its bytes is
// acknowledged, or, when no write holds any, as soon as no more writes can come.
// Spans are in bytes of flash words; EEPROM lines go out as writes of their own, so for them
// only their own write counts.
class LineProgress {
public:
    void Read(const WriteBlock& line) { m_pending.append(SpanOf(line)); }
    // Ties the pending lines to the writes about to go out; final: no more writes will follow.
    void Plan(const QList<WriteBlock>& writes, bool final);
    // The planned write at index has been acknowledged.
    void Acknowledged(qsizetype index) { m_done += m_doneAt.value(index); }
    int Done() const { return m_done; }

private:
    struct Span {
        quint32 begin, end;  // bytes of the device, end excluded
    };
    static Span SpanOf(const WriteBlock& block);

    QList<Span> m_pending;
    QList<int> m_doneAt;  // per planned write, the lines it completes
    int m_done = 0;
};
