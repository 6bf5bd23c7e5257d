#pragma once
// Globals of the auxiliary windows: the deferred end while the browser window is open, what
// the browser window shows, and the desktop the sliding windows rise from.

#include <cstdint>
#include <functional>
#include <string>

namespace model {

// The screen and the taskbar at its bottom, in pixels. Without a screen (headless) the sliding
// windows use these fixed numbers.
struct DesktopMetrics {
  int32_t screen_width = 1024;
  int32_t screen_height = 768;
  int32_t taskbar_height = 30;
};

struct WindowsState {
  // Set by the main window's unload while the browser window is shown: the browser window's
  // unload then ends the program.
  bool bExitPending = false;
  std::string strWebsiteMode;
  // Filled by the view: the desktop as it is now. Empty: the fixed numbers above.
  std::function<DesktopMetrics()> desktop_metrics;

  DesktopMetrics Desktop() const { return desktop_metrics ? desktop_metrics() : DesktopMetrics{}; }
};

}  // namespace model
