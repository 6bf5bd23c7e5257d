#pragma once
// The tray pop-up menu (frmMenuPopUp): rises out of the taskbar at the bottom right of the
// screen when the tray icon is clicked, offers "Show Program", "Exit Program" and "Close This
// Menu", and sinks and unloads itself after six idle seconds. Any touch that loads it starts
// the slide up.

namespace model {
struct App;
}

namespace ui {

// The product name as heading and caption, "Show Program" enabled only while the main window is
// hidden, the placement at the taskbar's edge, the slide up started, the skin applied.
void frmMenuPopUp_Form_Load(model::App& app);
// Every 1 ms: 80 twips up until at or above the target top, then the idle count starts.
void frmMenuPopUp_tmrMenuPopup_Timer(model::App& app);
// Every second: one more idle second; on the sixth the slide down starts.
void frmMenuPopUp_TmrEnablePopDown_Timer(model::App& app);
// Every 10 ms: 100 twips down; 2000 twips above the screen's bottom the menu unloads.
void frmMenuPopUp_tmrPopDown_Timer(model::App& app);
// A mouse move over the menu's own surface starts the idle count again.
void frmMenuPopUp_Form_MouseMove(model::App& app);

// "Close This Menu": the slide down starts from wherever the menu is.
void frmMenuPopUp_lblMenuClose_Click(model::App& app);
void frmMenuPopUp_lblMenuClose_MouseMove(model::App& app);
// "Show Program": RestoreMainWindowFromMenu.
void frmMenuPopUp_mnuMaxmimaize_Click(model::App& app);
// "Exit Program": the run state saved as stopped, the main window's icon taken out and the main
// window unloaded, which ends the program; while the end waits for the browser window, the menu
// closes.
void frmMenuPopUp_mnuClose_Click(model::App& app);

// The main window back at normal size and shown, then the menu closed.
void RestoreMainWindowFromMenu(model::App& app);
// The main window shown, then asked whether to exit: Yes ends the program at once; No sends the
// main window back to the background and closes the menu.
void ConfirmExitFromMenu(model::App& app);
// The main window shown with only its options panel, then the menu closed.
void OpenOptionsFromMenu(model::App& app);
void OpenSettingsFromMenu(model::App& app);
// "Show Program" (the menu closes), then a scan started as the scan page's "Start" label starts
// one.
void ScanNowFromMenu(model::App& app);

// The main window on screen at normal size.
void ShowMainWindow(model::App& app);
// Minimises the main window and, where a tray area shows its icon, hides it with its taskbar
// button. Without a tray area the taskbar button stays, so the window can always be brought
// back; false then.
bool HideMainWindowToTray(model::App& app);

void InstallTrayMenu(model::App& app);

}  // namespace ui
