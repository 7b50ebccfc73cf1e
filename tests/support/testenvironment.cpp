#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <cstdlib>

TestEnvironment::TestEnvironment() {
    const QByteArray root = m_dir.path().toLocal8Bit();
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/.cache").constData(), 1);
    QDir().mkpath(ProgramFolder());
    QDir().mkpath(PortLinkFolder());
}

QString TestEnvironment::PortLinkFolder() const {
    return m_dir.path() + QStringLiteral("/.local/share/Kestrel/ports");
}

void TestEnvironment::ClearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrel"),
                    QStringLiteral("Kestrel"));
    store.clear();
    store.sync();
}
