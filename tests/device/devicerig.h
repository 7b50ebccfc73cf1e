#pragma once

#include <QTemporaryDir>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "fakehost.h"
#include "fakeserialport.h"
#include "framecodec.h"
#include "scriptedprompts.h"
#include "settings.h"

using Groups = FakeHost::Groups;

// A device command's surroundings: a fake window, scripted prompts and a real link over an
// in-process bootloader that answers the version request and acknowledges every write.
struct DeviceRig {
    DeviceRig() {
        host.state.objHexComm = &link;
        port->responder = [this](const QByteArray& frame) {
            QByteArray payload;
            quint8 checksum = 0;
            Frame::UnpackReply(frame, payload, checksum);
            const char code = payload.at(0);
            const char kind = code == 2 ? 'P' : code == 5 ? 'E' : payload.at(1) == 0 ? 'R' : 'V';
            frames << QString::asprintf("%c%d %g", kind,
                                        int(qMax<qsizetype>(payload.size() - 5, 0)),
                                        link.TimeOutInterval());
            if (onRequest) onRequest();
            if (kind == 'R' || (kind == 'V' && version.isEmpty())) return QByteArray();
            if (kind == 'V') return Frame::Build(QByteArray(2, '\0') + version);
            const quint32 word =
                quint8(payload[2]) | quint8(payload[3]) << 8 | quint8(payload[4]) << 16;
            writes << QString::asprintf("%c%06X@%d", kind, word, host.progressValue);
            return word == silentWord ? QByteArray() : Frame::Build(QByteArray(1, code));
        };
    }

    QStringList Messages() const {  // "text|title"
        QStringList texts;
        for (const ScriptedPrompts::Message& message : prompts.messages)
            texts << message.text + QLatin1Char('|') + message.title;
        return texts;
    }

    QTemporaryDir programFolder;
    FakeHost host;
    ScriptedPrompts prompts;
    Settings settings{QStringLiteral("Kestrel")};
    FakeSerialPort* port = new FakeSerialPort;
    clsHexComm link{std::unique_ptr<SerialPort>(port), prompts};
    CommandContext context{host, prompts, settings, programFolder.path()};

    QStringList frames;  // "P64 0.08": kind (P, E: flash, EEPROM write; V, R), data bytes, timeout
    QStringList writes;  // "P000100@4": each write attempt's word, the progress bar's value then
    quint32 silentWord = 0;           // writes there get no reply
    QByteArray version{"\x05\x01"};   // byte 0, byte 1 of the version reply; empty: silent
    std::function<void()> onRequest;  // runs as each frame arrives
};

// Data bytes that follow from their byte address, so a block shows where each byte came from.
inline char ByteAt(quint32 byteAddress) {
    return static_cast<char>(byteAddress * 7 + 3);
}

// Each "word:count" (hexadecimal word) becomes a converted line with count such bytes;
// anything else stays as it stands.
inline QStringList ConvertedLines(const QStringList& items) {
    QStringList lines;
    for (const QString& item : items) {
        const quint32 word = item.section(QLatin1Char(':'), 0, 0).toUInt(nullptr, 16);
        QByteArray bytes(3 + item.section(QLatin1Char(':'), 1).toInt(), '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = i < 3 ? static_cast<char>(word >> 8 * i) : ByteAt(word * 2 + i - 3);
        lines << (item.contains(QLatin1Char(':')) ? QString::fromLatin1(bytes.toHex(',').toUpper())
                                                  : item);
    }
    return lines;
}
