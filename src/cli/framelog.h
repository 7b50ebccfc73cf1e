#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

class Console;

// The --log file, shared by every board of a run: opened before the first frame, so that a
// file that cannot be written stops the run at the start; a write that fails later is kept, to
// be reported at the end.
class LogFile {
public:
    bool Open(const QString& path);
    void Write(const QByteArray& line);
    // Milliseconds on the monotonic clock since the log was opened.
    double Ms() const { return double(m_clock.nsecsElapsed()) / 1e6; }
    QString Error() const { return m_error; }

private:
    QFile m_file;
    QElapsedTimer m_clock;
    QString m_error;
};

// Every frame a board sends and every reply it receives, with what it means: one JSON object a
// line in the log (time, port, direction, bytes, meaning), so that a session from the field can
// be read and replayed against kestrel-sim; and with -v, "> write-flash 000100 64 bytes" and
// "< ack" as they go.
class FrameLog {
public:
    // Either may be missing.
    FrameLog(LogFile* file, Console* verbose, QString port)
        : m_file(file), m_verbose(verbose), m_port(std::move(port)) {}

    void Sent(const QByteArray& frame);
    // Reply bytes as they come; the reply is written once a whole frame is in, else when the
    // next frame goes, or at Flush.
    void Received(const QByteArray& bytes);
    void Flush();

private:
    void Write(const char* direction, double ms, const QByteArray& bytes, const QString& meaning);

    LogFile* m_file;
    Console* m_verbose;
    QString m_port;
    QByteArray m_request;  // payload of the last frame sent
    QByteArray m_reply;
    double m_replyMs = 0;  // when the reply's last bytes came
};
