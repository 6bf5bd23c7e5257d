#include "view/x11_display.h"

#include <cstdlib>

#ifdef HG_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace view {

namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool NamedDisplayReachable() {
  if (IsSet("QT_QPA_PLATFORM") || IsSet("WAYLAND_DISPLAY") || !IsSet("DISPLAY"))
    return true;
#ifdef HG_HAVE_XCB
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reached = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return reached;
#else
  return true;
#endif
}

}  // namespace view
