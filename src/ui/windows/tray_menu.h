#pragma once
// The tray pop-up menu that slides out of the taskbar.

namespace model {
struct App;
}

namespace ui {

void InstallTrayMenu(model::App& app);

}  // namespace ui
