#pragma once
// Sending the main window to the tray and answering its tray icon.

namespace model {
struct App;
}

namespace ui {

void Command5_Click(model::App& app);
void InstallSendToTray(model::App& app);

}  // namespace ui
