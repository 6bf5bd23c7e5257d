#pragma once
// The main window's hidden browser control: its status text and new windows.

namespace model {
struct App;
}

namespace ui {

void InstallBrowserEvents(model::App& app);

}  // namespace ui
