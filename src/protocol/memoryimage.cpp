#include "memoryimage.h"

namespace {
constexpr quint8 kLow = 1;
constexpr quint8 kHigh = 2;
}  // namespace

MemoryImage::MemoryImage() : m_values(DeviceMap::kEndWord), m_set(DeviceMap::kEndWord) {}

bool MemoryImage::Has(int word) const {
    return Inside(word) && m_set[word] != 0;
}

quint16 MemoryImage::Word(int word) const {
    const quint16 erased = DeviceMap::ErasedOf(word);
    if (!Inside(word)) return erased;
    const quint16 low = m_set[word] & kLow ? m_values[word] & 0xFF : erased & 0xFF;
    const quint16 high = m_set[word] & kHigh ? m_values[word] & 0xFF00 : erased & 0xFF00;
    return high | low;
}

void MemoryImage::Set(int word, quint16 value) {
    if (!Inside(word)) return;
    m_values[word] = value;
    m_set[word] = kLow | kHigh;
}

bool MemoryImage::SetByte(int word, bool high, quint8 value) {
    if (!Inside(word)) return false;
    const quint8 bit = high ? kHigh : kLow;
    const bool before = m_set[word] & bit;
    m_values[word] = high ? quint16((m_values[word] & 0x00FF) | value << 8)
                          : quint16((m_values[word] & 0xFF00) | value);
    m_set[word] |= bit;
    return before;
}

QList<int> MemoryImage::Words(int first, int end) const {
    QList<int> words;
    for (int word = std::max(first, 0); word < std::min(end, DeviceMap::kEndWord); ++word)
        if (m_set[word] != 0) words.append(word);
    return words;
}

QList<int> MemoryImage::Rows(int first, int end) const {
    QList<int> rows;
    for (const int word : Words(first, end))
        if (rows.isEmpty() || rows.back() != DeviceMap::RowOf(word))
            rows.append(DeviceMap::RowOf(word));
    return rows;
}
