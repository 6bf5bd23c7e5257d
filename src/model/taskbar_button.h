#pragma once
// The main window's taskbar button. It goes only while the window is minimised or maximised and
// its own tray icon is in (an icon goes in only where a tray area shows it): that icon is then
// the way back. Without it the button stays, whatever the order of start-up, resize and
// minimise, so the window never becomes unreachable.

namespace model {

struct App;

// Shows or hides the program's taskbar button as the main window's state and tray icon say.
void UpdateTaskbarButton(App& app);

}  // namespace model
