#pragma once
// The splash window (the program's start) and the About window.

namespace model {
struct App;
}

namespace ui {

void InstallSplashAbout(model::App& app);

}  // namespace ui
