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

// The main window as the start-up leaves it, until the splash window runs the start-up itself:
// branded, loaded, definitions and drives prepared, skinned, status shown, timers on, visible.
// A step that fails is passed over and the next one runs, so the window always comes up.
void StartMainWindow(model::App& app);

}  // namespace ui
