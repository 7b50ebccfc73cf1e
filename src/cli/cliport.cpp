#include "cliport.h"

#include "framecodec.h"
#include "framemeaning.h"

CliPort::CliPort(std::unique_ptr<SerialPort> inner, QString devicePath,
                 std::unique_ptr<FrameLog> log)
    : m_inner(std::move(inner)), m_devicePath(std::move(devicePath)), m_log(std::move(log)) {
    connect(m_inner.get(), &SerialPort::DataReceived, this, &SerialPort::DataReceived);
    connect(m_inner.get(), &SerialPort::Gone, this, &SerialPort::Gone);
}

bool CliPort::Open(const QString& deviceName) {
    m_openedName = m_devicePath.isEmpty() ? deviceName : m_devicePath;
    return m_inner->Open(m_openedName);
}

void CliPort::Close() {
    if (m_log) m_log->Flush();
    m_inner->Close();
}

void CliPort::DiscardInput() {
    if (m_log) m_log->Flush();
    m_inner->DiscardInput();
}

bool CliPort::Write(const QByteArray& bytes) {
    ++m_count.attempts;
    if (bytes != m_lastFrame) {
        QByteArray payload;
        quint8 checksum = 0;
        Frame::UnpackReply(bytes, payload, checksum);
        ++m_count.blocks;
        m_count.bytes += FrameMeaning::DataBytes(payload);
        m_lastFrame = bytes;
    }
    if (m_log) m_log->Sent(bytes);
    return m_inner->Write(bytes);
}

QByteArray CliPort::TakeInput() {
    const QByteArray bytes = m_inner->TakeInput();
    if (m_log) m_log->Received(bytes);
    return bytes;
}
