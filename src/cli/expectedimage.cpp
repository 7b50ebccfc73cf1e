#include "expectedimage.h"

#include <functional>

#include "convertedfiles.h"
#include "convertedline.h"
#include "flashimage.h"
#include "hexdumptext.h"
#include "linereader.h"

namespace {
using LineSink = std::function<void(const ByteAddr& bytAddr, const QByteArray& bytData)>;

void ReadLines(const QString& path, const LineSink& sink) {
    LineReader reader(path);
    if (!reader.Open()) return;
    QByteArray text;
    while (reader.ReadLine(text)) {
        ByteAddr bytAddr{};
        QByteArray bytData;
        if (ConvertedLine(text).Decode(bytAddr, bytData)) sink(bytAddr, bytData);
    }
}

QMap<int, quint16> FlashWords(const QString& path) {
    QMap<int, quint8> bytes;
    ReadLines(path, [&](const ByteAddr& bytAddr, const QByteArray& bytData) {
        const int first = int(WordOf(bytAddr)) * 2;
        for (int i = 0; i < bytData.size(); ++i) {
            const int word = (first + i) / 2;
            if (word >= int(FlashImage::kFirstWord) && word < int(FlashImage::kFlashWords))
                bytes[first + i] = quint8(bytData[i]);
        }
    });
    QMap<int, quint16> words;
    for (auto it = bytes.cbegin(); it != bytes.cend(); ++it) {
        const int word = it.key() / 2;
        const quint8 low = bytes.value(word * 2, 0xFF);
        const quint8 high = bytes.value(word * 2 + 1, 0xFF);
        words[word] = quint16(high << 8 | low);
    }
    return words;
}

QMap<int, quint8> EepromBytes(const QString& path) {
    QMap<int, quint8> bytes;
    ReadLines(path, [&](const ByteAddr& bytAddr, const QByteArray& bytData) {
        // Only the low address byte reaches the device's EEPROM address register.
        for (int i = 0; i < bytData.size(); ++i)
            bytes[(bytAddr[0] + i) % HexDump::kEepromBytes] = quint8(bytData[i]);
    });
    return bytes;
}
}  // namespace

ExpectedImage ExpectedImage::FromFolder(const QString& folder, bool flash, bool eeprom) {
    ExpectedImage image;
    if (flash) image.flash = FlashWords(ConvertedFiles::PathOf(folder, MemoryRegion::Flash));
    if (eeprom) image.eeprom = EepromBytes(ConvertedFiles::PathOf(folder, MemoryRegion::EEPROM));
    return image;
}
