#pragma once

#include <QPoint>
#include <QString>

class Settings;

// A window's top-left corner, stored in twips under the window's settings section.
namespace WindowPosition {
// The stored position in pixels; an unusable stored value reads as 0.
QPoint Read(const Settings& settings, const QString& section, double logicalDpi);
// Stores the position, clamped to what the 16-bit reading can take back.
void Store(Settings& settings, const QString& section, QPoint pixels, double logicalDpi);
}  // namespace WindowPosition
