#pragma once
// Whether the X display the environment names can be reached, before Qt is asked to open it:
// Qt ends the process when it cannot.

namespace view {

// False only when DISPLAY names an X display that does not answer and nothing else (a Wayland
// session, a platform chosen outright) is there to use instead.
bool NamedDisplayReachable();

}  // namespace view
