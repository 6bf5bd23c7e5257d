#include "services/window_helpers.h"

namespace services {

void SetTopMost(System& system, WindowHandle window, bool on_top) {
  if (system.windows == nullptr) return;
  system.windows->SetWindowZOrder(window, on_top ? kTopMost : kNotTopMost);
}

void LockWindow(System& system, WindowHandle window, bool lock) {
  if (system.windows == nullptr || !system.windows->IsMainWindowVisible()) return;
  system.windows->LockWindowUpdate(lock ? window : 0);
}

}  // namespace services
