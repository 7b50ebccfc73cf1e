#pragma once

#include <QSettings>
#include <QString>

// Sections, keys and defaults of everything the program stores.
namespace SettingKey {
inline const QString kMainForm = QStringLiteral("Kes_BootloaderForm");
inline const QString kViewForm = QStringLiteral("Kes_ViewCodeForm");
inline const QString kHexPath = QStringLiteral("BootHexFilePath");
inline const QString kTop = QStringLiteral("Top");
inline const QString kLeft = QStringLiteral("Left");
inline const QString kPort = QStringLiteral("Port");
inline const QString kPath = QStringLiteral("Path");
inline const QString kDefaultTop = QStringLiteral("0");
inline const QString kDefaultLeft = QStringLiteral("0");
inline const QString kDefaultPort = QStringLiteral("1");
}  // namespace SettingKey

// The per-user settings store: string values by section and key under the application name.
class Settings {
public:
    explicit Settings(const QString& applicationName);

    QString Read(const QString& section, const QString& key, const QString& defaultValue) const;
    void Write(const QString& section, const QString& key, const QString& value);

    // A stored value that is not a whole number from -32768 to 32767 reads as the default.
    qint16 ReadInt16(const QString& section, const QString& key, const QString& defaultValue) const;

private:
    mutable QSettings m_store;
};
