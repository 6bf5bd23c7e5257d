#pragma once
// The options page: stored options into the controls, each change saved at once.

namespace model {
struct App;
}

namespace ui {

void LoadOptionSettings(model::App& app);
void InstallOptionsPage(model::App& app);

}  // namespace ui
