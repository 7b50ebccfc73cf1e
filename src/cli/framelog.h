#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

// --log: every frame sent and every reply received, one JSON object a line, with the time in
// milliseconds on the monotonic clock since the log was opened and what the frame means, so
// that a session from the field can be read and replayed against kestrel-sim.
class FrameLog {
public:
    bool Open(const QString& path);

    void Sent(const QByteArray& frame);
    // Reply bytes as they come; the reply is written when the next frame goes, or at Flush.
    void Received(const QByteArray& bytes);
    void Flush();

private:
    void Write(const char* direction, double ms, const QByteArray& bytes, const QString& meaning);

    QFile m_file;
    QElapsedTimer m_clock;
    QByteArray m_request;  // payload of the last frame sent
    QByteArray m_reply;
    double m_replyMs = 0;  // when the reply's last bytes came
};
