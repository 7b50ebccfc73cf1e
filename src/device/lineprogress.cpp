#include "lineprogress.h"

void LineProgress::Plan(const QList<WriteBlock>& writes, bool final) {
    if (writes.isEmpty() && !final) return;  // flash rows come at the end: no pass per line
    QList<Span> spans;
    for (const WriteBlock& write : writes) spans.append(SpanOf(write));
    m_doneAt.fill(0, writes.size());
    QList<Span> pending;
    for (const Span& line : m_pending) {
        qsizetype last = -1;
        for (qsizetype i = 0; i < spans.size(); ++i)
            if (line.begin < spans[i].end && spans[i].begin < line.end) last = i;
        if (last >= 0)
            ++m_doneAt[last];
        else if (final)
            ++m_done;
        else
            pending.append(line);
    }
    m_pending = pending;
}

LineProgress::Span LineProgress::SpanOf(const WriteBlock& block) {
    const quint32 begin = WordOf(block.bytAddr) * 2;
    // A line without data still stands at its address.
    return {begin, begin + quint32(std::max<qsizetype>(block.bytData.size(), 1))};
}
