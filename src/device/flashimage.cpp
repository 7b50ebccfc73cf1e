#include "flashimage.h"

namespace {
constexpr quint32 kRowBytes = DeviceMap::kRowWords * 2;
constexpr quint32 kFlashBytes = DeviceMap::kFlashWords * 2;
constexpr quint32 kFirstByte = DeviceMap::kFirstAppWord * 2;
}  // namespace

QList<WriteBlock> FlashImage::Add(const WriteBlock& line) {
    const quint32 start = WordOf(line.bytAddr) * 2;
    for (qsizetype i = 0; i < line.bytData.size(); ++i) {
        const quint32 byte = start + quint32(i);
        if (byte < kFirstByte || byte >= kFlashBytes) continue;
        if (!m_rowUsed[byte / kRowBytes]) {
            m_rowUsed[byte / kRowBytes] = true;
            std::fill_n(m_bytes.begin() + byte / kRowBytes * kRowBytes, kRowBytes, '\xFF');
        }
        m_bytes[byte] = line.bytData[i];
    }
    return {};
}

QList<WriteBlock> FlashImage::Finish() {
    QList<WriteBlock> rows;
    for (quint32 row = 0; row < m_rowUsed.size(); ++row) {
        if (!m_rowUsed[row]) continue;
        const quint32 word = row * DeviceMap::kRowWords;
        rows.append({ByteAddrOfWord(word),
                     QStringLiteral("%1").arg(word, 6, 16, QLatin1Char('0')).toUpper(),
                     QByteArray(m_bytes.data() + row * kRowBytes, kRowBytes)});
    }
    return rows;
}
