#include "report.h"

#include <QJsonDocument>

void Report::Begin(const QString& region, WireCount now) {
    m_region = region;
    m_start = now;
    m_clock.start();
}

void Report::End(WireCount now) {
    if (m_region.isEmpty()) return;
    const int attempts = now.attempts - m_start.attempts;
    const int blocks = now.blocks - m_start.blocks;
    m_regions[m_region] = QJsonObject{
        {QStringLiteral("bytes"), now.bytes - m_start.bytes},
        {QStringLiteral("blocks"), blocks},
        {QStringLiteral("attempts"), attempts},
        {QStringLiteral("retries"), attempts - blocks},
        {QStringLiteral("seconds"), double(m_clock.elapsed()) / 1000.0},
    };
    m_region.clear();
}

QJsonObject Report::Object(ExitStatus status, const QStringList& messages) const {
    QJsonObject json = m_fields;
    json[QStringLiteral("regions")] = m_regions;
    json[QStringLiteral("messages")] = QJsonArray::fromStringList(messages);
    json[QStringLiteral("exit")] = int(status);
    return json;
}

QByteArray Report::Json(ExitStatus status, const QStringList& messages) const {
    return QJsonDocument(Object(status, messages)).toJson(QJsonDocument::Compact) + '\n';
}
