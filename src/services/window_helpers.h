#pragma once
// Window services: keeping a window above the others, and freezing the main window's redraw
// during long list updates.

#include "services/system.h"

namespace services {

void SetTopMost(System& system, WindowHandle window, bool on_top);

// Locks (or unlocks) redrawing, only while the main window is visible: while it is hidden or
// in the tray nothing is done, so no lock is left behind.
void LockWindow(System& system, WindowHandle window, bool lock);

}  // namespace services
