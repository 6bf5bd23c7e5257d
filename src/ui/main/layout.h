#pragma once
// The main window's layout on resize and its window states: at normal size the window is in
// the foreground (scroll tick on, taskbar button shown); minimised or maximised the background
// timers run as the options say.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

// The smallest outer size (twips) the view lets the user give the window: its design size,
// at which every page shows whole.
inline constexpr double kMainWindowMinWidth = 10800;
inline constexpr double kMainWindowMinHeight = 7800;

// "Minimized" is written "No" in section "Settings" whenever the window is back on screen.

// Places the pages, lists and bars for the window's present size. Does nothing while the window
// is hidden or minimised. Sizes are kept positive however small the window is.
void LayoutControls(model::App& app);

// The resize rule: the layout, then the timers and the taskbar button for the window's state.
void Form_Resize(model::App& app);

void InstallLayout(model::App& app);

}  // namespace ui
