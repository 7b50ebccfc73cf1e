#include "steps.h"

#include "hextext.h"

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

bool Writes(const Step& step) {
    if (step.exchanges.isEmpty()) return false;
    const Exchange::Kind kind = step.exchanges.first().kind;
    return kind == Exchange::Kind::WriteFlash || kind == Exchange::Kind::WriteEeprom ||
           kind == Exchange::Kind::EraseFlash;
}

MemoryImage Written(const Exchange& write) {
    MemoryImage words;
    for (int i = 0; write.kind == Exchange::Kind::EraseFlash && i < DeviceMap::kRowWords; ++i)
        words.Set(write.word + i, DeviceMap::kErasedWord);
    for (int i = 0; write.kind == Exchange::Kind::WriteEeprom && i < write.count; ++i)
        words.Set(write.word + i, quint8(write.data[i]));
    for (int i = 0; write.kind == Exchange::Kind::WriteFlash && i < write.count; ++i)
        words.Set(write.word + i,
                  quint16(quint8(write.data[2 * i]) | quint8(write.data[2 * i + 1]) << 8));
    return words;
}

QString Confirmed(const Step& step, qsizetype acknowledged) {
    const Exchange::Kind kind = step.exchanges.first().kind;
    const bool erase = kind == Exchange::Kind::EraseFlash;
    const bool eeprom = kind == Exchange::Kind::WriteEeprom;
    const int base = eeprom ? DeviceMap::kEepromWord : 0;
    const int digits = eeprom ? 2 : 4;
    const QString noun = eeprom  ? QStringLiteral("EEPROM bytes")
                         : erase ? QStringLiteral("flash")
                                 : QStringLiteral("flash rows");
    const QString done = erase ? QStringLiteral("erased") : QStringLiteral("written");
    QList<int> words;
    for (qsizetype i = 0; i < acknowledged; ++i) {
        const Exchange& exchange = step.exchanges[i];
        const int count = erase ? exchange.count * DeviceMap::kRowWords : exchange.count;
        for (int word = exchange.word; word < exchange.word + count; ++word)
            words.append(word - base);
    }
    QStringList parts;
    if (acknowledged > 0)
        parts.append(
            QStringLiteral("%1 %2 %3 and acknowledged").arg(noun, RangesText(words, digits), done));
    if (acknowledged < step.exchanges.size())
        parts.append(QStringLiteral("%1%2 onward not %3")
                         .arg(acknowledged > 0 ? QString() : noun + QLatin1Char(' '),
                              QStringLiteral("0x") +
                                  HexText(step.exchanges[acknowledged].word - base, digits),
                              done));
    return parts.join(QStringLiteral("; "));
}

}  // namespace Steps
