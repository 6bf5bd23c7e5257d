#pragma once
// Live Update's progress window (frmDownload): a blinking pair of arrows and status captions
// that keep it visibly alive while the update runs, and a tray icon of its own while it is
// loaded. Live Update writes its progress through model::SetDownloadStatus and unloads it at
// its end; "Cancel" unloads it and the update goes on without it.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

inline constexpr std::string_view kDownloadTrayTip = "Getting latest definitions.";

// Starts the blink, puts the window's tray icon in anew with its tip, skins the window.
void frmDownload_Form_Load(model::App& app);
// Swaps the arrows and sets the caption by the blink step, which goes round 0 to 14 for the
// life of the program.
void frmDownload_tmrBlink_Timer(model::App& app);
// "Cancel": unloads the window.
void frmDownload_Command1_Click(model::App& app);
// Takes the window's tray icon out.
void frmDownload_Form_Unload(model::App& app);
// A double-click on the window's tray icon restores and shows it.
void frmDownload_TrayMessage(model::App& app, int message);

void InstallDownloadWindow(model::App& app);

}  // namespace ui
