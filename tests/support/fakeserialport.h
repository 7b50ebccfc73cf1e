#pragma once

#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <functional>

#include "serialport.h"

// An in-process serial peer: records what is written and answers at once through a responder,
// as a device on the far end would within the link's wait.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    bool Open(const QString& deviceName) override {
        opened << deviceName;
        m_open = !missingDevices.contains(deviceName);
        return m_open;
    }
    void Close() override {
        m_open = false;
        m_input.clear();
    }
    bool IsOpen() const override { return m_open; }
    void DiscardInput() override { m_input.clear(); }
    bool Write(const QByteArray& bytes) override {
        if (!m_open) return false;
        writes << bytes;
        if (responder) Deliver(responder(bytes));
        return true;
    }
    QByteArray TakeInput() override { return std::exchange(m_input, {}); }

    // Bytes from the peer.
    void Deliver(const QByteArray& bytes) {
        if (!m_open || bytes.isEmpty()) return;
        m_input += bytes;
        emit DataReceived();
    }
    // Pulls the adapter out: the port closes and Gone() is raised.
    void Unplug() {
        Close();
        emit Gone();
    }

    Responder responder;  // none: the peer stays silent
    QSet<QString> missingDevices;
    QList<QByteArray> writes;
    QStringList opened;

private:
    bool m_open = false;
    QByteArray m_input;
};
