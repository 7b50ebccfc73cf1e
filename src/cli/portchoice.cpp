#include "portchoice.h"

#include "portpath.h"
#include "settings.h"

PortChoice PortChoice::From(const QString& option) {
    if (option.isEmpty()) {
        // Read only: the window's settings are the window's.
        const Settings window(QStringLiteral("Kestrel"));
        return {
            window.ReadInt16(SettingKey::kMainForm, SettingKey::kPort, SettingKey::kDefaultPort),
            {}};
    }
    bool number = false;
    const int value = option.toInt(&number);
    if (number && value >= 1 && value <= INT16_MAX) return {qint16(value), {}};
    return {0, option};
}

QString PortChoice::Device() const {
    return path.isEmpty() ? PortPath::DeviceName(number) : path;
}

QString PortChoice::Label() const {
    if (!path.isEmpty()) return path;
    return QStringLiteral("Com %1 (%2)").arg(number).arg(Device());
}

QString PortChoice::Name() const {
    return path.isEmpty() ? QStringLiteral("Com %1").arg(number) : path;
}
