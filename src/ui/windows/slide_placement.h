#pragma once
// Where a window that slides out of the taskbar starts and stops: it starts with its top at the
// taskbar's upper edge and its right edge near the screen's right edge, and stops when its
// bottom is 100 twips above the screen's bottom. Heights count 14.5 twips a pixel and widths
// 14.7, as the sliding windows always reckoned them.

#include "model/sliding_windows.h"
#include "model/windows_state.h"

namespace ui {

// Moves the window to its start and gives its placement values.
model::SlidePlacement PlaceAtTaskbar(model::Window& window, const model::DesktopMetrics& desktop);

}  // namespace ui
