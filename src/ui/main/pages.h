#pragma once
// The main window's pages and the buttons that switch between them. Exactly one of the four
// pages (frmStatus, frmScan, frmResults, frmOptions) is visible after any switch, and every
// switch hides the removal's progress on the results page.

namespace model {
struct App;
}

namespace ui {

// Hides the four pages and the removal's progress bar with its two labels.
void HideAllPages(model::App& app);

// The options page with one of its sub-pages: tab_index is the tab's position in TabStrip1
// (0 "Scan Options" to 3 "Auto Update", as the Settings menu's items count). A position
// outside the strip leaves the selected tab as it is.
void ShowOptionsPage(model::App& app, int tab_index);

// The page buttons. cmdScan only shows the scan page; it starts nothing.
void cmdStatus_Click(model::App& app);
void cmdScan_Click(model::App& app);
void cmdSettings_Click(model::App& app);
// The results page; with an empty threat list and "send anonymous data" ticked, the running
// programs are reported (app.hooks.SendRunningProcessList).
void cmdResults_Click(model::App& app);

// The report viewer, modal. "Show Report" is disabled while it is open and enabled again
// however the viewer ends, even when it could not be opened.
void cmdLog_Click(model::App& app);
void lblViewLogFile_Click(model::App& app);

// Shows the selected tab's sub-page (frmView(position)) and hides the others.
void TabStrip1_Click(model::App& app);

// The link labels on the results page: each stops tmrScroll, enables the other links and
// disables itself; "Result" also hides the removal's progress.
void lblOptions_Click(model::App& app);
void lblResult_Click(model::App& app);

// Puts the handlers above into the main window's controls, with Command1 ("Scan Now" on the
// options page) as cmdScan and cmdRemove ("Click Here to Continue") as cmdResults.
void InstallPages(model::App& app);

}  // namespace ui
