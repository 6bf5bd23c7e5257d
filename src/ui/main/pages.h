#pragma once
// The main window's pages and the buttons that switch between them.

namespace model {
struct App;
}

namespace ui {

void HideAllPages(model::App& app);
void ShowOptionsPage(model::App& app, int tab_index);
void cmdStatus_Click(model::App& app);
void cmdScan_Click(model::App& app);
void cmdResults_Click(model::App& app);
void cmdSettings_Click(model::App& app);
void cmdLog_Click(model::App& app);
void InstallPages(model::App& app);

}  // namespace ui
