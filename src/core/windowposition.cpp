#include "windowposition.h"

#include <algorithm>

#include "settings.h"
#include "twips.h"

namespace WindowPosition {

QPoint Read(const Settings& settings, const QString& section, double logicalDpi) {
    const int top = settings.ReadInt16(section, SettingKey::kTop, SettingKey::kDefaultTop);
    const int left = settings.ReadInt16(section, SettingKey::kLeft, SettingKey::kDefaultLeft);
    return {Twips::ToPixels(left, logicalDpi), Twips::ToPixels(top, logicalDpi)};
}

void Store(Settings& settings, const QString& section, QPoint pixels, double logicalDpi) {
    const auto stored = [logicalDpi](int pixel) {
        return QString::number(std::clamp(Twips::FromPixels(pixel, logicalDpi), -32768, 32767));
    };
    settings.Write(section, SettingKey::kTop, stored(pixels.y()));
    settings.Write(section, SettingKey::kLeft, stored(pixels.x()));
}

}  // namespace WindowPosition
