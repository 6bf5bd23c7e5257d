#pragma once
// Window geometry in the program is in twips; the screen counts 15 twips a pixel.

#include <cmath>

namespace view {

inline constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline double PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace view
