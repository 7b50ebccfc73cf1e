#include "devicereader.h"

#include "clitexts.h"
#include "clshexcomm.h"
#include "commandcontext.h"
#include "commandhost.h"

namespace {
// A 64-byte reply with every byte escaped is 141 bytes: 147 ms on the line.
constexpr float kReadInterval = 0.25F;
constexpr qint16 kReadRetries = 2;
constexpr int kEepromWord = 0x2100;
constexpr int kConfigWords = 8;

quint16 WordAt(const QByteArray& bytes, int i) {
    return quint16(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8);
}
}  // namespace

DeviceImage::DeviceImage() {
    flash.fill(HexDump::kErasedWord);
    config.fill(HexDump::kErasedWord);
    eeprom.fill(HexDump::kErasedByte);
}

bool DeviceReader::Flash(const QList<int>& rows) {
    Start(CliText::kReadingFlash, int(rows.size()));
    clsHexComm& link = *m_context.host.State().objHexComm;
    for (int i = 0; i < rows.size(); ++i) {
        QByteArray bytes;
        if (!link.blnReadProgram(kChunkBytes, ByteAddrOfWord(rows[i]), bytes)) return false;
        for (int w = 0; w < kRowWords; ++w) m_image.flash[rows[i] + w] = WordAt(bytes, w);
        m_context.host.SetProgressValue(i + 1);
    }
    return Done();
}

bool DeviceReader::Eeprom(const QList<int>& chunks) {
    Start(CliText::kReadingEEPROM, int(chunks.size()));
    clsHexComm& link = *m_context.host.State().objHexComm;
    for (int i = 0; i < chunks.size(); ++i) {
        QByteArray bytes;
        if (!link.blnReadEEPROM(kChunkBytes, ByteAddrOfWord(kEepromWord + chunks[i]), bytes))
            return false;
        std::copy(bytes.cbegin(), bytes.cend(), m_image.eeprom.begin() + chunks[i]);
        m_context.host.SetProgressValue(i + 1);
    }
    return Done();
}

bool DeviceReader::Config() {
    Start(CliText::kReadingConfig, 1);
    QByteArray bytes;
    if (!m_context.host.State().objHexComm->blnReadConfig(
            2 * kConfigWords, ByteAddrOfWord(HexDump::kUserIdWord), bytes))
        return false;
    for (int w = 0; w < kConfigWords; ++w) m_image.config[w] = WordAt(bytes, w);
    m_context.host.SetProgressValue(1);
    return Done();
}

void DeviceReader::Start(const QString& status, int total) {
    CommandHost& host = m_context.host;
    host.SetProgressRange(0, total);
    host.SetProgressValue(0);
    host.SetPanelText(PanelKey::kStatus, status);
    clsHexComm& link = *host.State().objHexComm;
    link.SetTimeOutInterval(kReadInterval);
    link.SetTimeOutRetries(kReadRetries);
}

bool DeviceReader::Done() {
    m_context.host.SetPanelText(PanelKey::kStatus, QString());
    return true;
}
