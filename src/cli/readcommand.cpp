#include "readcommand.h"

#include <QFile>

#include "console.h"
#include "devicereader.h"
#include "flashimage.h"
#include "session.h"

namespace {
const QString kWritten = QStringLiteral("read: flash from %1, EEPROM and configuration into %2");
const QString kWriteError = QStringLiteral("kestrel-cli: cannot write %1");
constexpr int kEepromChunks = HexDump::kEepromBytes / DeviceReader::kChunkBytes;

QList<int> Every(int first, int end, int step) {
    QList<int> starts;
    for (int start = first; start < end; start += step) starts.append(start);
    return starts;
}

QByteArray DumpText(const DeviceImage& image) {
    return HexDump::Text(
        [&](int word) {
            return word < HexDump::kFlashWords ? image.flash[word]
                                               : image.config[word - HexDump::kUserIdWord];
        },
        [&](int offset) { return image.eeprom[offset]; });
}
}  // namespace

ExitStatus ReadDevice(Session& session, const QString& out, bool all, Console& console) {
    DeviceImage image;
    DeviceReader reader(session.Context(), image);
    const int first = all ? 0 : int(FlashImage::kFirstWord);
    if (!reader.Flash(Every(first, HexDump::kFlashWords, DeviceReader::kRowWords)) ||
        !reader.Eeprom(
            Every(0, kEepromChunks * DeviceReader::kChunkBytes, DeviceReader::kChunkBytes)) ||
        !reader.Config())
        return ExitStatus::DeviceFailure;
    const QByteArray text = DumpText(image);
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        console.Message(kWriteError.arg(out));
        return ExitStatus::BadUsage;
    }
    console.Result(kWritten.arg(QStringLiteral("%1").arg(first, 6, 16, QLatin1Char('0')), out));
    return ExitStatus::Success;
}
