#include "framelog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "framecodec.h"
#include "framemeaning.h"

bool FrameLog::Open(const QString& path) {
    m_file.setFileName(path);
    m_clock.start();
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void FrameLog::Sent(const QByteArray& frame) {
    Flush();
    quint8 checksum = 0;
    Frame::UnpackReply(frame, m_request, checksum);
    Write("sent", double(m_clock.nsecsElapsed()) / 1e6, frame, FrameMeaning::OfRequest(m_request));
}

void FrameLog::Received(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    m_reply += bytes;
    m_replyMs = double(m_clock.nsecsElapsed()) / 1e6;
}

void FrameLog::Flush() {
    if (m_reply.isEmpty()) return;
    Write("received", m_replyMs, m_reply, FrameMeaning::OfReply(m_reply, m_request));
    m_reply.clear();
}

void FrameLog::Write(const char* direction, double ms, const QByteArray& bytes,
                     const QString& meaning) {
    const QJsonObject line{{QStringLiteral("ms"), std::round(ms * 1000) / 1000},
                           {QStringLiteral("dir"), QLatin1String(direction)},
                           {QStringLiteral("bytes"), QString::fromLatin1(bytes.toHex(' '))},
                           {QStringLiteral("meaning"), meaning}};
    m_file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}
