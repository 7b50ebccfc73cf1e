#include "linereader.h"

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

LineReader::LineReader(const QString& path) : m_file(path) {}

bool LineReader::Open() {
    m_buffer.clear();
    m_pos = 0;
    m_error = false;
    return m_file.open(QIODevice::ReadOnly);
}

void LineReader::Close() {
    m_file.close();
}

bool LineReader::Fill() {
    if (m_error || !m_file.isOpen()) return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const QByteArray chunk = m_file.read(kChunk);
    if (chunk.isEmpty()) {
        if (m_file.error() != QFileDevice::NoError) m_error = true;
        return false;
    }
    m_buffer += chunk;
    return true;
}

bool LineReader::AtEnd() {
    return m_pos >= m_buffer.size() && !Fill();
}

bool LineReader::ReadLine(QByteArray& line) {
    if (AtEnd()) return false;
    qsizetype scanned = m_pos;
    while (true) {
        for (qsizetype i = scanned; i < m_buffer.size(); ++i) {
            const char c = m_buffer.at(i);
            if (c != '\n' && c != '\r') continue;
            line = m_buffer.mid(m_pos, i - m_pos);
            m_pos = i + 1;
            // A CR whose LF is still in the file: fetch it so CR LF stays one ending.
            if (c == '\r' && m_pos >= m_buffer.size()) Fill();
            if (c == '\r' && m_pos < m_buffer.size() && m_buffer.at(m_pos) == '\n') ++m_pos;
            return true;
        }
        const qsizetype scannedUnread = m_buffer.size() - m_pos;
        if (!Fill()) break;
        scanned = scannedUnread;  // Fill moved the unread part to the front
    }
    line = m_buffer.mid(m_pos);
    m_pos = m_buffer.size();
    return !m_error;
}
