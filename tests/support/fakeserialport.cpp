#include "fakeserialport.h"

#include <QPointer>
#include <QTimer>

bool FakeSerialPort::Open(const QString& deviceName) {
    opened.append(deviceName);
    m_open = !missingDevices.contains(deviceName);
    return m_open;
}

void FakeSerialPort::Close() {
    m_open = false;
    m_input.clear();
}

void FakeSerialPort::DiscardInput() {
    ++discards;
    m_input.clear();
}

bool FakeSerialPort::Write(const QByteArray& bytes) {
    if (!m_open) return false;
    writes.append(bytes);
    if (responder) {
        const QByteArray reply = responder(bytes);
        if (!reply.isEmpty()) Deliver(reply, replyDelay);
    }
    return true;
}

QByteArray FakeSerialPort::TakeInput() {
    QByteArray taken;
    taken.swap(m_input);
    return taken;
}

void FakeSerialPort::Deliver(const QByteArray& bytes, std::chrono::milliseconds after) {
    QPointer<FakeSerialPort> self(this);
    QTimer::singleShot(after, this, [self, bytes] {
        if (!self || !self->m_open) return;
        self->m_input += bytes;
        emit self->DataReceived();
    });
}

void FakeSerialPort::Unplug() {
    m_open = false;
    m_input.clear();
    emit Gone();
}
