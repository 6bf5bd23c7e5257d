#pragma once
// The main window's layout on resize and its window states.

namespace model {
struct App;
}

namespace ui {

void InstallLayout(model::App& app);

}  // namespace ui
