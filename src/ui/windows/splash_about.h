#pragma once
// The splash window (the program's start) and the About window.

#include <cstdint>

namespace model {
struct App;
}

namespace ui {

// The start-up count at which the main window loads: 75 ticks of 2.
inline constexpr int16_t kSplashCountEnd = 150;

// The program's start: loads the splash window and shows it. Its timer does the rest.
void StartWithSplash(model::App& app);

// Fills the branding values, makes the splash window's skin control the program's and skins the
// splash window with it, hands the skin to the skin helper, then starts Timer2.
void frmSplash_Load(model::App& app);
// Counts by 2 per tick, whatever time has passed; on reaching 150, EndSplash.
void Timer2_Timer(model::App& app);
// Stops Timer2, loads the main window (its load is the start-up), shows it and hides the splash
// window, which stays loaded.
void EndSplash(model::App& app);

// Caption "About " & product; the product name, "major.minor", the company and the web text
// from the version information; the labels skinned when skinning is on.
void frmAbout_Load(model::App& app);
// Loads the browser window and shows it modelessly (no control calls it).
void ShowWebsiteFromAbout(model::App& app);

void InstallSplashAbout(model::App& app);

}  // namespace ui
