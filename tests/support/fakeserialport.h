#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <chrono>
#include <functional>

#include "serialport.h"

// An in-process serial peer: records what is written and answers through a responder, after
// a delay, as a device on the far end would.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using Responder = std::function<QByteArray(const QByteArray& written)>;

    bool Open(const QString& deviceName) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    void DiscardInput() override;
    bool Write(const QByteArray& bytes) override;
    QByteArray TakeInput() override;

    // Makes bytes arrive after the given delay, as if the peer had sent them.
    void Deliver(const QByteArray& bytes, std::chrono::milliseconds after);
    // Pulls the adapter out: the port closes and Gone() is raised.
    void Unplug();

    Responder responder;                       // none: the peer stays silent
    std::chrono::milliseconds replyDelay{10};  // from the write to the reply's arrival
    QSet<QString> missingDevices;              // names that fail to open
    QList<QByteArray> writes;
    QStringList opened;
    int discards = 0;

private:
    bool m_open = false;
    QByteArray m_input;
};
