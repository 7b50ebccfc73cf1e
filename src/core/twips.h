#pragma once

#include <cmath>

// Window positions are stored in twips: 1440 per inch.
namespace Twips {
inline int ToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}
inline int FromPixels(int pixels, double logicalDpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi));
}
}  // namespace Twips
