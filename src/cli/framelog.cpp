#include "framelog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "console.h"
#include "framecodec.h"
#include "framemeaning.h"
#include "framereader.h"

bool LogFile::Open(const QString& path) {
    m_file.setFileName(path);
    m_clock.start();
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void LogFile::Write(const QByteArray& line) {
    if (m_error.isEmpty() && m_file.write(line) != line.size()) m_error = m_file.errorString();
}

void FrameLog::Sent(const QByteArray& frame) {
    Flush();
    quint8 checksum = 0;
    Frame::UnpackReply(frame, m_request, checksum);
    Write("sent", m_file ? m_file->Ms() : 0, frame, FrameMeaning::OfRequest(m_request));
}

void FrameLog::Received(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    m_reply += bytes;
    m_replyMs = m_file ? m_file->Ms() : 0;
    QByteArray payload;
    if (FrameReader::FirstFrame(m_reply, payload) != FrameReader::Result::NeedMore) Flush();
}

void FrameLog::Flush() {
    if (m_reply.isEmpty()) return;
    Write("received", m_replyMs, m_reply, FrameMeaning::OfReply(m_reply, m_request));
    m_reply.clear();
}

void FrameLog::Write(const char* direction, double ms, const QByteArray& bytes,
                     const QString& meaning) {
    const bool sent = direction[0] == 's';
    if (m_verbose)
        m_verbose->Verbose((sent ? QStringLiteral("> ") : QStringLiteral("< ")) + meaning);
    if (!m_file) return;
    const QJsonObject line{{QStringLiteral("ms"), std::round(ms * 1000) / 1000},
                           {QStringLiteral("port"), m_port},
                           {QStringLiteral("dir"), QLatin1String(direction)},
                           {QStringLiteral("bytes"), QString::fromLatin1(bytes.toHex(' '))},
                           {QStringLiteral("meaning"), meaning}};
    m_file->Write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}
