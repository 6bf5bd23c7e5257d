#pragma once
// The options page: the stored options put into the controls at start-up, and each change saved
// the moment the user makes it, with the background work it governs switched at once. Setting a
// control in code runs its handler, so loading writes the values back.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

inline constexpr std::string_view kSendDataQuestionTitle =
    "Really turn off anonymous data collection?";
inline constexpr std::string_view kSendDataQuestion =
    "By sending anonymous data you can help us identify new spyware more quickly.\r\n\r\n"
    "No personal information is collected, the only information sent is executable names that "
    "are currently loaded into memory.\r\n\r\n"
    "Do you really want to turn off anonymous data collection?";
inline constexpr std::string_view kLastUpdatePrefix = "Signatures Last Updated On ";

void LoadOptionSettings(model::App& app);

// Check boxes that save only their own value.
void chkAutomaticUpdate_Click(model::App& app);
void chkMakeLog_Click(model::App& app);
void chkScanCookies_Click(model::App& app);
void chkScanRegistry_Click(model::App& app);
void chkSweepMemory_Click(model::App& app);
// The visible shield boxes save the hidden option pairs and switch their shield's timer.
void chkAutoProtect_Click(model::App& app);
void chkHomePage_Click(model::App& app);
void optIEHomePageSheildOn_Click(model::App& app);
void optIEHomePageSheildOff_Click(model::App& app);
void optMemorySheildOn_Click(model::App& app);
void optMemorySheildOff_Click(model::App& app);
void optAlwaysnotifybeforerestoring_Click(model::App& app);
void optRestoredefaultwithoutnotification_Click(model::App& app);
// The scan type; the drive list shows for "Complete System Scan" only.
void optScanAllSelectedHardDrive_Click(model::App& app);
void optScanOnlyKnownSoftwares_Click(model::App& app);
// Saves the box and writes or deletes the Run value.
void chkRunAtStartup_Click(model::App& app);
// Runs on the user's toggle of the send-data box, by mouse or keyboard alike, never when code
// sets the box: unticking asks first (No ticks it again); the box's value is then saved.
void chkSendData_MouseUp(model::App& app);

void InstallOptionsPage(model::App& app);

}  // namespace ui
