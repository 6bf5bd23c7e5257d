#pragma once
// The scan report viewer (frmReport): shows Scan_Log.txt read-only. It is unloaded when
// closed, so every opening reads the file afresh.
//
// Joining rule: a line of the file that is empty after trimming blanks becomes one line break;
// any other line is shown as read, with no line break of its own. Since the report follows
// each text line with empty lines, every such line ends in as many breaks as empty lines
// follow it, while lines that follow one another directly run together.

namespace model {
struct App;
}

namespace ui {

// Fills txtReport from the report file (yielding after each line), captions the window with
// the product name and " Log", and skins it when skinning is on. A missing report leaves the
// text box empty.
void frmReport_Form_Load(model::App& app);

// "OK": unloads the window.
void frmReport_cmdOk_Click(model::App& app);

// Puts the handlers above into the window's slots.
void InstallReportViewer(model::App& app);

}  // namespace ui
