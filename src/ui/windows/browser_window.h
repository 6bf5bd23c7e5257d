#pragma once
// The browser window.

namespace model {
struct App;
}

namespace ui {

void InstallBrowserWindow(model::App& app);

}  // namespace ui
