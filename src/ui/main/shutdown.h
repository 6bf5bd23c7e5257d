#pragma once
// Closing the main window: the close request records the run state for outside tools and takes
// the tray icon out; the unload saves the threat list's column widths and the maximised state,
// unloads the other windows in a fixed order and ends the program, unless the browser window
// is shown, whose own unload then ends it (WindowsState::bExitPending).
//
// Work that runs when the window goes (it was closed during one of its yields) does not go on
// as if nothing happened: a scan is asked to stop, so that no automatic removal follows it; a
// removal or a Live Update ends after its current item (they test FrmMain::EverUnloaded).

#include <string_view>

#include "forms/forms.h"

namespace model {
struct App;
}

namespace ui {

// Each key is followed by the column's number, from 1.
inline constexpr std::string_view kColumnWidthKey = "FoundCol2";
inline constexpr std::string_view kMaximizedKey = "Max";

// The close request (close box, File > Exit, the "X" label, the tray menu's "Exit Program").
// Never cancels.
void Form_QueryUnload(model::App& app, int& cancel, forms::UnloadMode mode);
// The unload step; never cancels. Ends the program unless the browser window is shown.
void Form_Unload(model::App& app, int& cancel);

void InstallShutdown(model::App& app);

}  // namespace ui
