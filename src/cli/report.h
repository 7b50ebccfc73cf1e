#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "cliport.h"

// Exit status of kestrel-cli; a signal that ends the run gives 128 + its number.
enum class ExitStatus { Success = 0, DeviceFailure = 1, BadUsage = 2, Differences = 3 };

// The worse of two: the higher.
inline ExitStatus Worst(ExitStatus a, ExitStatus b) {
    return int(a) >= int(b) ? a : b;
}

// What the run did, for --json: file, port, bootloader version, per region the bytes, blocks,
// attempts, retries and seconds, the verify result and every message shown.
class Report {
public:
    void Set(const QString& key, const QJsonValue& value) { m_fields[key] = value; }
    QJsonValue Value(const QString& key) const { return m_fields.value(key); }

    // A region runs from its Begin to its End; counts come from the port.
    void Begin(const QString& region, WireCount now);
    void End(WireCount now);

    QJsonObject Object(ExitStatus status, const QStringList& messages) const;
    // One line.
    QByteArray Json(ExitStatus status, const QStringList& messages) const;

private:
    QJsonObject m_fields;
    QJsonObject m_regions;
    QString m_region;
    WireCount m_start;
    QElapsedTimer m_clock;
};
