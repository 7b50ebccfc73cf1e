#include "settings.h"

Settings::Settings(const QString& applicationName)
    : m_store(QSettings::NativeFormat, QSettings::UserScope, applicationName, applicationName) {}

QString Settings::Read(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    const QVariant value = m_store.value(section + QLatin1Char('/') + key);
    return value.isValid() ? value.toString() : defaultValue;
}

void Settings::Write(const QString& section, const QString& key, const QString& value) {
    m_store.setValue(section + QLatin1Char('/') + key, value);
    m_store.sync();
}

qint16 Settings::ReadInt16(const QString& section, const QString& key,
                           const QString& defaultValue) const {
    bool ok = false;
    const int value = Read(section, key, defaultValue).trimmed().toInt(&ok, 10);
    if (ok && value >= -32768 && value <= 32767) return static_cast<qint16>(value);
    return static_cast<qint16>(defaultValue.toInt());
}
