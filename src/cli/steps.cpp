#include "steps.h"

namespace Steps {

namespace {
constexpr int kEepromWriteBytes = 16;
constexpr int kEraseRows = 8;        // a request's erase must end well within its reply wait
constexpr int kReadChunkBytes = 64;  // a flash row: its reply, all escaped, fits the read wait

// Words are read together when they share a flash row, the configuration words, or a 64-byte
// EEPROM chunk.
int ReadUnitOf(int word) {
    if (word < DeviceMap::kFlashWords) return DeviceMap::RowOf(word);
    if (word < DeviceMap::kEepromWord) return DeviceMap::kUserIdWord;
    return word - (word - DeviceMap::kEepromWord) % kReadChunkBytes;
}

Exchange::Kind ReadKindOf(int word) {
    if (word < DeviceMap::kFlashWords) return Exchange::Kind::ReadFlash;
    if (word < DeviceMap::kEepromWord) return Exchange::Kind::ReadConfig;
    return Exchange::Kind::ReadEeprom;
}
}  // namespace

Step WriteRows(const MemoryImage& image, const QList<int>& rows, const MemoryImage& base) {
    Step step{QStringLiteral("flash"), QStringLiteral("Writing flash"), {}};
    for (const int row : rows) {
        QByteArray bytes;
        for (int word = row; word < row + DeviceMap::kRowWords; ++word) {
            const quint16 value = image.Has(word) ? image.Word(word) : base.Word(word);
            bytes.append(char(value & 0xFF)).append(char(value >> 8));
        }
        step.exchanges.append({Exchange::Kind::WriteFlash, row, DeviceMap::kRowWords, bytes});
    }
    return step;
}

Step WriteEeprom(const MemoryImage& image) {
    Step step{QStringLiteral("eeprom"), QStringLiteral("Writing EEPROM"), {}};
    for (const int word : image.Words(DeviceMap::kEepromWord, DeviceMap::kEndWord)) {
        Exchange* last = step.exchanges.isEmpty() ? nullptr : &step.exchanges.last();
        if (!last || last->word + last->count != word || last->count == kEepromWriteBytes)
            last = &step.exchanges.emplaceBack(Exchange{Exchange::Kind::WriteEeprom, word, 0, {}});
        last->data.append(char(image.Word(word)));
        ++last->count;
    }
    return step;
}

Step Erase() {
    Step step{QStringLiteral("erase"), QStringLiteral("Erasing flash"), {}};
    constexpr int kWords = kEraseRows * DeviceMap::kRowWords;
    for (int word = DeviceMap::kFirstAppWord; word < DeviceMap::kFlashWords; word += kWords) {
        const int rows = std::min(kWords, DeviceMap::kFlashWords - word) / DeviceMap::kRowWords;
        step.exchanges.append({Exchange::Kind::EraseFlash, word, rows, {}});
    }
    return step;
}

Step Read(const QString& name, const QString& label, const QList<int>& words) {
    Step step{name, label, {}};
    for (const int word : words) {
        Exchange* last = step.exchanges.isEmpty() ? nullptr : &step.exchanges.last();
        if (last && ReadUnitOf(last->word) == ReadUnitOf(word))
            last->count = word - last->word + 1;
        else
            step.exchanges.append({ReadKindOf(word), word, 1, {}});
    }
    return step;
}

Step ReadSpan(const QString& name, const QString& label, int first, int end) {
    QList<int> words;
    for (int word = std::max(first, 0); word < std::min(end, DeviceMap::kEndWord); ++word)
        if (DeviceMap::RegionOf(word) != DeviceMap::Region::None) words.append(word);
    return Read(name, label, words);
}

}  // namespace Steps
