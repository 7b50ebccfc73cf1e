#include "devicerig.h"

#include <QFile>

#include "framecodec.h"

DeviceRig::DeviceRig(const QString& programFolder)
    : settings(QStringLiteral("Kestrel")),
      port(new FakeSerialPort),
      link(std::unique_ptr<SerialPort>(port), prompts),
      context{host, prompts, settings, programFolder} {
    host.state.objHexComm = &link;
    port->responder = [this](const QByteArray& frame) { return Answer(frame); };
}

QByteArray DeviceRig::Answer(const QByteArray& frame) {
    QByteArray payload;
    quint8 checksum = 0;
    Frame::UnpackReply(frame, payload, checksum);
    const quint8 code = static_cast<quint8>(payload.at(0));
    const bool reset = code == 0 && payload.at(1) == 0;
    const char region = code == 2 ? 'P' : code == 5 ? 'E' : reset ? 'R' : 'V';
    const auto at = [&payload](int i) {
        return i < payload.size() ? static_cast<quint8>(payload.at(i)) : quint8(0);
    };
    const quint32 word = at(2) | at(3) << 8 | at(4) << 16;
    requests.append({region, word, payload.mid(5), host.progressValue, link.TimeOutInterval(),
                     link.TimeOutRetries()});
    if (onRequest) onRequest();
    if (region == 'R' || (region == 'V' && version.isEmpty())) return {};
    if (region == 'V') return Frame::Build(QByteArray(2, '\0') + version);
    if (silentWords.contains(word)) return {};
    return Frame::Build(QByteArray(1, static_cast<char>(code)));
}

void DeviceRig::WriteFile(const QString& name, const QStringList& lines) const {
    QFile file(context.programFolder + QLatin1Char('/') + name);
    file.open(QIODevice::WriteOnly);
    for (const QString& line : lines) file.write(line.toLatin1() + "\r\n");
}

QStringList DeviceRig::Writes() const {
    QStringList writes;
    for (const Request& request : requests)
        if (request.region == 'P' || request.region == 'E')
            writes.append(QLatin1Char(request.region) +
                          QStringLiteral("%1").arg(request.word, 6, 16, QChar('0')).toUpper());
    return writes;
}

QStringList DeviceRig::Messages() const {
    QStringList texts;
    for (const ScriptedPrompts::Message& message : prompts.messages)
        texts.append(message.text + QLatin1Char('|') + message.title);
    return texts;
}

char ByteAt(quint32 byteAddress) {
    return static_cast<char>(byteAddress * 7 + 3);
}

QString FlashLine(quint32 word, int count) {
    QByteArray bytes;
    bytes.append(char(word)).append(char(word >> 8)).append(char(word >> 16));
    for (int i = 0; i < count; ++i) bytes.append(ByteAt(word * 2 + i));
    return QString::fromLatin1(bytes.toHex(',').toUpper());
}

QStringList ConvertedLines(const QStringList& specs) {
    QStringList lines;
    for (const QString& spec : specs) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        lines.append(parts.size() == 2 ? FlashLine(parts[0].toUInt(nullptr, 16), parts[1].toInt())
                                       : spec);
    }
    return lines;
}
