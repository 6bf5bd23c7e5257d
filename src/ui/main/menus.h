#pragma once
// The main window's menu bar, browser button and close label. Each menu's items form a control
// array whose handler is told the item's index; separators and the hidden items do nothing.

#include <cstdint>
#include <string_view>

namespace model {
struct App;
}

namespace ui {

inline constexpr std::string_view kNoExclusionFileText = "No exclusion file exists yet.";
inline constexpr std::string_view kNoExclusionFileTitle = "No Exclusion File";

// "Scan Now" (the scan page, no scan), "View Log", "Run Live Update", "Minimize to Tray", "Exit".
void mnuFileItem_Click(model::App& app, int16_t index);
// The options page with tab index + 1 selected ("Scan Options", "Proactive Protection",
// "Schedule", "Auto Update").
void mnuSettingsItem_Click(model::App& app, int16_t index);
// "View Quarantine": the quarantine folder, created when missing, opened in the file manager.
// "View Exclusions": the ignore list opened in the text editor, or a message that there is none.
// When the desktop cannot open the folder or the list, a message names where it is.
void mnuQuarItem_Click(model::App& app, int16_t index);
// "View Help": the help launcher loaded, given one pass of the message loop and unloaded.
void mnuHelpItem_Click(model::App& app, int16_t index);
// "About this software".
void mnuAboutItem_Click(model::App& app, int16_t index);
// The hidden debug menu: the home-page alert, the update notification or the memory alert as
// each one's load leaves it.
void mnuDebugItem_Click(model::App& app, int16_t index);

// "Visit ...": the browser window in its web-site mode.
void cmdWebsite_Click(model::App& app);
// "X": closes the main window as the File menu's "Exit" does.
void lblHide_Click(model::App& app);
// The mouse over "X" sets it italic; the next move over the window's surface sets it upright.
void lblHide_MouseMove(model::App& app);

void InstallMenus(model::App& app);

}  // namespace ui
