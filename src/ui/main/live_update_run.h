#pragma once
// Live Update as the main window runs it: every trigger goes through cmdUpdate_Click, which runs
// one update at a time and announces the outcome in the sliding notification.

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/forms.h"

namespace model {
struct App;
}

namespace ui {

// Idle ticks of timUpdate after which the automatic update runs.
inline constexpr int32_t kAutomaticUpdateIdleTicks = 300;

inline constexpr std::string_view kUpdateFailedText =
    "Definitions could not be downloaded. Please check your internet connection.";
// The package came but the definition files could not be rewritten; `reason` is the system's.
std::string SaveFailedText(std::string_view reason);
std::string UpToDateText(const model::App& app);
std::string UpdatedText(const model::App& app);

// A scan, a removal or a Live Update runs: no update may start.
bool IsUpdateBlocked(const model::App& app);

// Runs one Live Update with the timer group off and cmdLiveUpdate disabled, then shows the
// notification: the definitions updated (with "SHOW" and "RESTART" saved, the definitions
// counted and the status labels refreshed), already the most recent, not saved, or not
// downloaded. While a scan, a removal or another update runs, or a shield waits for an answer,
// it says so (TellWhenBusy) and does nothing else.
void cmdUpdate_Click(model::App& app);
// The options page's "Run Live Update Now".
void cmdLiveUpdate_Click(model::App& app);
// With Shift alone held, lists the support site's definition addresses.
void cmdUpdate_MouseDown(model::App& app, const forms::MouseEvent& event);
// The automatic update: counts idle ticks (no scan, removal or update running) and, on the first
// idle tick after 300 of them, switches itself off and runs the update once.
void timUpdate_Timer(model::App& app);

// Not reached from any control: load and show the download window; the same only while an
// update runs; and a whole update in the tray.
void ShowDownloadWindow(model::App& app);
void ShowDownloadWhileUpdating(model::App& app);
void RunBackgroundUpdate(model::App& app);

// Puts the handlers above into the main window's controls and timUpdate.
void InstallLiveUpdate(model::App& app);

}  // namespace ui
