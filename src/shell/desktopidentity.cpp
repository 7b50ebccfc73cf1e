#include "desktopidentity.h"

#include <QGuiApplication>

QIcon KestrelIcon() {
    // Before any window exists the compiled-in icons may not be registered yet.
    Q_INIT_RESOURCE(icons);
    return QIcon(QStringLiteral(":/icons/kestrel.svg"));
}

void ShowAsKestrel(QGuiApplication& app) {
    app.setWindowIcon(KestrelIcon());
    app.setDesktopFileName(QStringLiteral("kestrel"));
}
