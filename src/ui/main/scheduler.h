#pragma once
// Scheduled scans: the "Scheduled Scans" sub-page, an editor for the schedule saved by Apply,
// and the scheduler's tick, which compares the saved schedule with the clock and starts a scan
// through the scan page's Start label.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

inline constexpr std::string_view kScheduleNoDateMessage =
    "Please select the date that you want to scan.";

// The sub-page's handlers; each runs also when code changes its control.
void chkAutoDel_Click(model::App& app);
// The scheduler's timer follows the box at once; nothing is saved until Apply.
void chkAutomaticScanYesOrNo_Click(model::App& app);
void cmbDays_Click(model::App& app);
void dtpScheduleDate_Change(model::App& app);
void dtpScheduleTime_Click(model::App& app);
// Apply: saves and reloads the schedule. A schedule that SaveSchedule refuses is neither saved
// nor reloaded: the user's edits stay on the page to be put right.
void CmdProceed_Click(model::App& app);
// Reset: "Daily", scheduling switched off, applied.
void cmdDefaultSetting_Click(model::App& app);

// Saves the edited schedule. A day of "Date & Time" with either picker empty is refused with a
// message (false): nothing is saved, the timer is not touched.
bool SaveSchedule(model::App& app);
// Puts the saved schedule into the sub-page. It edits nothing: Apply keeps its state.
void LoadSchedule(model::App& app);

// The scheduler's tick. Starts nothing while a scan, a removal, a Live Update or a shield tick
// runs, and never twice in one second of the clock.
void tmrScheduler_Timer(model::App& app);

void InstallScheduler(model::App& app);

}  // namespace ui
