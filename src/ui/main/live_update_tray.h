#pragma once
// The tray icons Live Update shows and removes: the download window's own icon while an update
// runs, and the main window's icon, put back after an update that ran in the tray.

namespace model {
struct App;
}

namespace ui {

void ShowDownloadTrayIcon(model::App& app);
void RemoveDownloadTrayIcon(model::App& app);
// Removes the main window's tray icon and shows it again.
void RenewMainTrayIcon(model::App& app);

}  // namespace ui
