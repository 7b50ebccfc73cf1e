#pragma once

#include <QString>

class QWidget;
class Settings;

// Where a window opens and what position it leaves in the settings store (in twips, under the
// window's section).
namespace WindowPlacement {
// Moves the window to its stored position, or to the default (0, 0) when there its title bar
// would be off every screen connected now (a monitor removed, a value from elsewhere).
void Restore(QWidget& window, const Settings& settings, const QString& section);
// Stores the position unless the window is minimised, which leaves the stored one as it was.
void Save(const QWidget& window, Settings& settings, const QString& section);
}  // namespace WindowPlacement
