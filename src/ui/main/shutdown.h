#pragma once
// Closing the main window: the close request and the unload step.

namespace model {
struct App;
}

namespace ui {

void InstallShutdown(model::App& app);

}  // namespace ui
