#include "imagecheck.h"

#include "hextext.h"

using namespace DeviceMap;

namespace {
const QString kBootOnly = QStringLiteral(
    "the file's code lies in words %1, which belong to the bootloader; build the program to "
    "start at 0x100");
const QString kOutside = QStringLiteral(
    "%1 data at words %2, outside the PIC16F877A's memory (flash 0x0000–0x1FFF, user ID "
    "0x2000–0x2003, configuration 0x2007, EEPROM 0x2100–0x21FF); build the program for this "
    "device");
const QString kEepromPast = QStringLiteral(
    "%1 EEPROM data at bytes %2, past the EEPROM's last byte 0xFF; make the EEPROM data fit in "
    "256 bytes");
const QString kOneLine = QStringLiteral("line %1 puts");
const QString kLines = QStringLiteral("lines %1–%2 put");
const QString kNothingBoth = QStringLiteral(
    "the file holds no flash from word 0x100 and no EEPROM data: nothing to program or "
    "verify; check that it is the program's HEX file");
const QString kNothingFlash = QStringLiteral(
    "the file holds no flash from word 0x100: nothing to program or verify with --flash");
const QString kNothingEeprom =
    QStringLiteral("the file holds no EEPROM data: nothing to program or verify with --eeprom");
const QString kBelowApp = QStringLiteral(
    "flash below 0x100 belongs to the bootloader and is not written: %1 (a reset or interrupt "
    "stub? the program must start at 0x100)");
const QString kUserId = QStringLiteral(
    "the file sets the user ID words %1: the bootloader never writes them; they must match the "
    "bootloader's own");
const QString kConfig = QStringLiteral(
    "the file sets the configuration word 0x2007 to 0x%1: the bootloader never writes it; it "
    "must match the bootloader's own configuration");
const QString kOverwrite = QStringLiteral("line %1 overwrites what line %3 set at %2");
const QString kWideFlash =
    QStringLiteral("values wider than 14 bits, of which the device keeps the low 14: %1");
const QString kWideEeprom = QStringLiteral(
    "EEPROM bytes with a high byte other than 00, which the EEPROM does not keep: %1");
constexpr quint32 kEepromPastEnd = kEndWord + kEepromBytes;

QStringList Outside(const QList<IntelHex::Outside>& outside) {
    QStringList refusals;
    for (const IntelHex::Outside& range : outside) {
        const bool eeprom = range.firstWord >= quint32(kEndWord) && range.lastWord < kEepromPastEnd;
        const qint64 base = eeprom ? kEepromWord : 0;
        const QString lines = range.lastLine == range.line
                                  ? kOneLine.arg(range.line)
                                  : kLines.arg(range.line).arg(range.lastLine);
        refusals.append(
            (eeprom ? kEepromPast : kOutside)
                .arg(lines, SpanText(range.firstWord - base, range.lastWord - base, 4)));
    }
    return refusals;
}

QStringList Wide(const MemoryImage& image) {
    QList<int> flash, eeprom;
    for (const int word : image.Words(0, kEndWord)) {
        if ((image.Word(word) & ~MaskOf(word)) == 0) continue;
        if (RegionOf(word) == Region::Eeprom)
            eeprom.append(word - kEepromWord);
        else
            flash.append(word);
    }
    QStringList warnings;
    if (!flash.isEmpty()) warnings.append(kWideFlash.arg(RangesText(flash, 4)));
    if (!eeprom.isEmpty()) warnings.append(kWideEeprom.arg(RangesText(eeprom, 2)));
    return warnings;
}

QStringList Warnings(const IntelHex::Reading& reading, bool flash) {
    const MemoryImage& image = reading.image;
    QStringList warnings;
    const QList<int> below = WordsOf(image, 0, kFirstAppWord);
    if (flash && !below.isEmpty()) warnings.append(kBelowApp.arg(RangesText(below, 4)));
    const QList<int> userId = WordsOf(image, kUserIdWord, kUserIdWord + kUserIdWords);
    if (!userId.isEmpty()) warnings.append(kUserId.arg(RangesText(userId, 4)));
    if (image.Has(kConfigWord)) warnings.append(kConfig.arg(HexText(image.Word(kConfigWord), 4)));
    for (const IntelHex::Overwrite& overwrite : reading.overwrites) {
        QList<int> words;
        for (int word = overwrite.firstWord; word <= overwrite.lastWord; ++word) words.append(word);
        warnings.append(
            kOverwrite.arg(overwrite.line).arg(RangesText(words, 4)).arg(overwrite.earlierLine));
    }
    return warnings + Wide(image);
}
}  // namespace

QList<int> WordsOf(const MemoryImage& image, int first, int end, int base) {
    QList<int> words = image.Words(first, end);
    for (int& word : words) word -= base;
    return words;
}

ImageCheck CheckImage(const IntelHex::Reading& reading, bool flash, bool eeprom) {
    ImageCheck check{Outside(reading.outside), {}};
    const MemoryImage& image = reading.image;
    const QList<int> code = WordsOf(image, 0, kFlashWords);
    const bool app = !image.Words(kFirstAppWord, kFlashWords).isEmpty();
    const bool data = !image.Words(kEepromWord, kEndWord).isEmpty();
    if (flash && !code.isEmpty() && !app) {
        check.refusals.append(kBootOnly.arg(SpanText(code.first(), code.last(), 4)));
    } else if ((!flash || !app) && (!eeprom || !data)) {
        check.refusals.append(flash && eeprom ? kNothingBoth
                              : flash         ? kNothingFlash
                                              : kNothingEeprom);
    }
    // Below 0x100 beside a program: a refusal already covers a file with nothing above.
    check.warnings = Warnings(reading, flash && app);
    return check;
}
