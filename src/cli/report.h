#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "cliport.h"

// Exit status of kestrel-cli.
enum class ExitStatus { Success = 0, DeviceFailure = 1, BadUsage = 2, Differences = 3 };

// What the run did, for --json: file, port, bootloader version, per region the bytes, blocks,
// attempts, retries and seconds, the verify result and every message shown.
class Report {
public:
    void Set(const QString& key, const QJsonValue& value) { m_fields[key] = value; }
    void AddMessage(const QString& line) { m_messages.append(line); }

    // A region runs from its Begin to its End; counts come from the port.
    void Begin(const QString& region, WireCount now);
    void End(WireCount now);

    QByteArray Json(ExitStatus status) const;

private:
    QJsonObject m_fields;
    QJsonObject m_regions;
    QJsonArray m_messages;
    QString m_region;
    WireCount m_start;
    QElapsedTimer m_clock;
};
