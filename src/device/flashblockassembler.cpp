#include "flashblockassembler.h"

#include <algorithm>

namespace {

constexpr quint32 kFirstByte = FlashBlockAssembler::kFirstWord * 2;
constexpr char kErased = '\xFF';

}  // namespace

QList<WriteBlock> FlashBlockAssembler::Add(const WriteBlock& line) {
    QList<WriteBlock> done;
    quint32 start = WordOf(line.bytAddr) * 2;
    QByteArray data = line.bytData;
    if (data.isEmpty() || start + data.size() <= kFirstByte) return done;
    // A block that does not open at a line's own address shows its computed address.
    QString addressText = line.addressText;
    if (start < kFirstByte) {
        data.remove(0, kFirstByte - start);
        start = kFirstByte;
        addressText.clear();
    }
    if (m_open && (start < m_end || start >= m_start + kBlockBytes)) done.append(Close());
    while (!data.isEmpty()) {
        if (!m_open) Open(start, addressText);
        const qsizetype placed = std::min<qsizetype>(m_start + kBlockBytes - start, data.size());
        m_data.replace(start - m_start, placed, data.left(placed));
        start += placed;
        m_end = start;
        data.remove(0, placed);
        addressText.clear();
        if (m_end == m_start + kBlockBytes) done.append(Close());
    }
    return done;
}

QList<WriteBlock> FlashBlockAssembler::Finish() {
    if (!m_open) return {};
    return {Close()};
}

void FlashBlockAssembler::Open(quint32 start, const QString& addressText) {
    m_open = true;
    m_start = start;
    m_end = start;
    m_data = QByteArray(kBlockBytes, kErased);
    m_addressText = addressText.isEmpty()
                        ? QStringLiteral("%1").arg(start / 2, 6, 16, QLatin1Char('0')).toUpper()
                        : addressText;
}

WriteBlock FlashBlockAssembler::Close() {
    m_open = false;
    return {ByteAddrOfWord(m_start / 2), m_addressText, m_data};
}
