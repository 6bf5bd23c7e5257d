#pragma once
// Globals of the auxiliary windows: the deferred end while the browser window is open, and
// what the browser window shows.

#include <string>

namespace model {

struct WindowsState {
  // Set by the main window's unload while the browser window is shown: the browser window's
  // unload then ends the program.
  bool bExitPending = false;
  std::string strWebsiteMode;
};

}  // namespace model
