#pragma once
// Puts the handlers of every built window into the application's models: the scan controls,
// the removal session and the result-list actions, the check propagation, the quarantine log,
// the scan report and its viewer, and the delete-failed window.

#include "model/app.h"
#include "services/clipboard.h"

namespace ui {

void InstallWindowHandlers(model::App& app, services::Clipboard& clipboard);

// What the main window's load needs before the first scan: downloaded definitions installed,
// the definitions counted, the ignore list read and the drive list built.
void PrepareDefinitionsAndDrives(model::App& app);

}  // namespace ui
