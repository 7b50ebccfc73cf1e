#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "windowposition.h"

namespace WindowPlacement {

namespace {

double Dpi(const QWidget& window) {
    return window.screen()->logicalDotsPerInch();
}

bool TitleBarOnAScreen(const QWidget& window, QPoint position) {
    const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QRect titleBar(position, QSize(window.width(), height));
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen* screen) {
        return screen->availableGeometry().intersects(titleBar);
    });
}

}  // namespace

void Restore(QWidget& window, const Settings& settings, const QString& section) {
    const QPoint stored = WindowPosition::Read(settings, section, Dpi(window));
    window.move(TitleBarOnAScreen(window, stored) ? stored : QPoint(0, 0));
}

void Save(const QWidget& window, Settings& settings, const QString& section) {
    if (window.isMinimized()) return;
    WindowPosition::Store(settings, section, window.pos(), Dpi(window));
}

}  // namespace WindowPlacement
