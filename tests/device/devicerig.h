#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>
#include <memory>

#include "clshexcomm.h"
#include "commandcontext.h"
#include "fakehost.h"
#include "fakeserialport.h"
#include "scriptedprompts.h"
#include "settings.h"

// A device command's surroundings: a fake window, scripted prompts and a real link over an
// in-process bootloader that answers the version request and acknowledges every write.
class DeviceRig {
public:
    struct Request {
        char region;  // 'P' flash write, 'E' EEPROM write, 'V' version, 'R' reset
        quint32 word;
        QByteArray data;
        int progress;  // the progress bar's value when the frame went out
        float interval;
        qint16 retries;
    };

    explicit DeviceRig(const QString& programFolder);

    void WriteFile(const QString& name, const QStringList& lines) const;
    // "P000100" per frame sent, attempts included.
    QStringList Writes() const;
    QStringList Messages() const;  // "text|title"

    FakeHost host;
    ScriptedPrompts prompts;
    Settings settings;
    FakeSerialPort* port;
    clsHexComm link;
    CommandContext context;

    QList<Request> requests;
    QSet<quint32> silentWords;        // writes there get no reply
    QByteArray version{"\x05\x01"};   // byte 0, byte 1 of the version reply; empty: silent
    std::function<void()> onRequest;  // runs as each frame arrives

private:
    QByteArray Answer(const QByteArray& frame);
};

// A converted line: the word address's fields, then count bytes whose values follow from
// their byte address, so a block's content shows where each byte came from.
QString FlashLine(quint32 word, int count);
// Each "word:count" (hexadecimal word) as FlashLine gives it; anything else as it stands.
QStringList ConvertedLines(const QStringList& specs);
char ByteAt(quint32 byteAddress);
