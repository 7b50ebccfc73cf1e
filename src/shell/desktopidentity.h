#pragma once

#include <QIcon>

class QGuiApplication;

// How the desktop shows Kestrel: its icon on every window, matched to kestrel.desktop.
QIcon KestrelIcon();
void ShowAsKestrel(QGuiApplication& app);
