#pragma once

#include <QList>
#include <vector>

#include "devicemap.h"

// Words by address over the whole device map (see DeviceMap), each set or not. A word of which
// only one byte was set takes its other byte from the erased value.
class MemoryImage {
public:
    MemoryImage();

    bool Has(int word) const;
    // The erased value where nothing was set.
    quint16 Word(int word) const;
    void Set(int word, quint16 value);
    // Sets the low or the high byte of a word; true when that byte had been set before.
    bool SetByte(int word, bool high, quint8 value);

    // The set words in [first, end), ascending.
    QList<int> Words(int first, int end) const;
    // The 32-word rows in [first, end) that hold a set word, by their first word.
    QList<int> Rows(int first, int end) const;

private:
    static bool Inside(int word) { return word >= 0 && word < DeviceMap::kEndWord; }

    std::vector<quint16> m_values;
    std::vector<quint8> m_set;  // bit 0: low byte set, bit 1: high byte set
};
