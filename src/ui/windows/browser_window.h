#pragma once
// The browser window: the program's own small web browser, opened on the web-site address of
// the branding values. It also keeps the program alive after the main window has closed: with
// bExitPending set, closing it ends the program.

namespace model {
struct App;
}

namespace ui {

// Opening: branding refreshed, the second status panel added, the caption, top-most while the
// window sets itself up (skin, navigation to strWebsite, strWebsiteMode "Website", maximised).
void frmWebsite_Form_Load(model::App& app);
// Fits the frame, the address row and the browser to the window's outer size; every size is
// taken as its absolute value, so a window smaller than the margins still gives positive sizes.
void ArrangeBrowserControls(model::App& app);
// Go: navigates to the address box's text as typed.
void frmWebsite_Command3_Click(model::App& app);
// Enter in the address box does what Go does.
void frmWebsite_Text1_KeyPress(model::App& app, int& key_ascii);
// The deferred end: with bExitPending set, closing this window is the program's last act.
void frmWebsite_Form_Unload(model::App& app);

void InstallBrowserWindow(model::App& app);

}  // namespace ui
