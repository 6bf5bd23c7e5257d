#pragma once
// The main window's menu bar, browser button and close label.

namespace model {
struct App;
}

namespace ui {

void InstallMenus(model::App& app);

}  // namespace ui
