#include "ui/windows/slide_placement.h"

#include <cmath>

#include "machine/text.h"

namespace ui {

namespace {

constexpr double kTwipsPerPixelHigh = 14.5;
constexpr double kTwipsPerPixelWide = 14.7;
// The window's inner width in pixels: the screen counts 15 twips a pixel.
constexpr double kScreenTwipsPerPixel = 15.0;
constexpr int32_t kGapAboveBottom = 100;

int32_t RoundTwips(double twips) {
  int32_t rounded = 0;
  machine::RoundHalfEvenToInt32(twips, rounded);
  return rounded;
}

}  // namespace

model::SlidePlacement PlaceAtTaskbar(model::Window& window, const model::DesktopMetrics& desktop) {
  model::SlidePlacement placement;
  placement.intRowFactor = 1;
  placement.lngTaskbarHeight = RoundTwips(kTwipsPerPixelHigh * desktop.taskbar_height);
  placement.lngScreenHeight = RoundTwips(kTwipsPerPixelHigh * desktop.screen_height);
  const double inner_width = std::round(window.Width() / kScreenTwipsPerPixel);
  window.SetTop(placement.lngScreenHeight - placement.lngTaskbarHeight);
  window.SetLeft((desktop.screen_width - inner_width) * kTwipsPerPixelWide);
  placement.lngTargetTop = RoundTwips(placement.lngScreenHeight -
                                      (window.Height() * placement.intRowFactor + kGapAboveBottom));
  return placement;
}

}  // namespace ui
