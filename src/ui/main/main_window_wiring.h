#pragma once
// Puts the handlers of every window into the application's models, the main window's load (the
// start-up) and the splash window's among them. The program then starts with the splash window.

#include "model/app.h"
#include "services/clipboard.h"

namespace ui {

void InstallWindowHandlers(model::App& app, services::Clipboard& clipboard);

// The program's start without waiting for the splash window's count (for tests and tools): the
// splash window and the main window's load installed, the splash window loaded and shown, then
// the end of its count at once: the main window loaded (the start-up) and shown.
void StartMainWindow(model::App& app);

}  // namespace ui
