#pragma once
// The help launcher: opens the help file.

namespace model {
struct App;
}

namespace ui {

void InstallHelpLauncher(model::App& app);

}  // namespace ui
