#pragma once
// The scan page's controls that start, pause and stop a scan. The scan's loops yield after each
// item, so these run while a scan is going: the pause holds the scan inside its message box,
// the stop sets the flag the stages test.

namespace model {
struct App;
}

namespace ui {

// Starts a scan, on the scan page, when none is running and no removal or Live Update runs;
// does nothing otherwise. The scheduler starts its scans here.
void lblStart_Click(model::App& app);
// The label's click: the same, but the user is told what keeps the scan from starting.
void lblStart_UserClick(model::App& app);

// Hold the scan in an information box until OK; the button disables Pause and Stop meanwhile,
// the label only itself.
void cmdPause_Click(model::App& app);
void lblPause_Click(model::App& app);
void PauseScan(model::App& app);

// Ask, and on Yes request the stop.
void cmdStop_Click(model::App& app);
void lblStop_Click(model::App& app);
void StopScan(model::App& app);

// Hover over the Start, Pause and Stop labels sets them italic (Pause and Stop also the default
// pointer). They stay italic: only ResetScanLabelHover sets them upright again, with the
// hourglass while a scan runs.
void lblStart_MouseMove(model::App& app);
void lblPause_MouseMove(model::App& app);
void lblStop_MouseMove(model::App& app);
void ResetScanLabelHover(model::App& app);

// Puts the handlers above, and cmdScanNow_Click, into the main window's controls.
void InstallScanControls(model::App& app);

}  // namespace ui
