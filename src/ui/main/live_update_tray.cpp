#include "ui/main/live_update_tray.h"

#include "model/app.h"

namespace ui {

// The tray object is not part of this build yet; these are the only places Live Update
// touches it.

void ShowDownloadTrayIcon(model::App& /*app*/) {}

void RemoveDownloadTrayIcon(model::App& /*app*/) {}

void RenewMainTrayIcon(model::App& /*app*/) {}

}  // namespace ui
