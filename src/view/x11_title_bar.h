#pragma once
// What Qt's window flags cannot tell an X11 window manager about a title bar.

class QWidget;

namespace view {

// Before the window is shown, and after each change of its title or flags. Without minimise and
// maximise buttons the window is given the window type under which window managers (openbox
// among them, which heeds no Motif hint for minimising) offer neither. A title bar without
// caption text loses the name Qt would put there instead (the program's). Nothing happens off
// X11.
void ApplyX11TitleBar(QWidget& window, bool min_max_buttons);

}  // namespace view
