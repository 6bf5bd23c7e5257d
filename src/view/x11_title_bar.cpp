#include "view/x11_title_bar.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef HG_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#endif

namespace view {

#ifdef HG_HAVE_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

}  // namespace

void ApplyX11TitleBar(QWidget& window, bool min_max_buttons) {
  // Only an X11 window manager reads these (the offscreen platform has none to tell).
  if (QGuiApplication::platformName() != QLatin1String("xcb"))
    return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  const bool blank_caption = window.windowTitle().isEmpty();
  if (!connection || (min_max_buttons && !blank_caption))
    return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  if (!min_max_buttons) {
    // A torn-off menu's type: no minimise, no maximise, kept with the program's other windows.
    const xcb_atom_t menu = Atom(connection, "_NET_WM_WINDOW_TYPE_MENU");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                        Atom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &menu);
  }
  // Qt writes the program's name for an empty title; without any name the window manager
  // shows none for a window kept with others.
  if (blank_caption)
    xcb_delete_property(connection, id, Atom(connection, "_NET_WM_NAME"));
  xcb_flush(connection);
}
#else
void ApplyX11TitleBar(QWidget&, bool) {}
#endif

}  // namespace view
