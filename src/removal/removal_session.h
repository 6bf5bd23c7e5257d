#pragma once
// A removal as the main window runs it: "Delete" checks that something is selected and asks,
// then the "Remove" run prepares the quarantine folder, switches the timer group off, lets the
// window settle, brackets the two removal passes with a restore point where the platform has
// System Restore, deletes the rows of what was removed, switches the group back on, adds the
// items removed to the running total and refreshes the status page.
//
// Only one removal runs at a time, and no scan or Live Update starts during one
// (ScanState::bRemovalRunning is set for the whole run). While it runs, the result lists,
// "Select All", "Exclude" and "Delete" are disabled.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace removal {

inline constexpr std::string_view kNothingSelectedMessage =
    "No entries are selected.  You must check the box next to at least one item in the list.";
inline constexpr std::string_view kDeleteTitle = "Really Delete?";
// Told when the quarantine folder cannot be made; nothing is removed then.
inline constexpr std::string_view kQuarantineFolderFailedMessage =
    "The quarantine folder could not be created:";
inline constexpr std::string_view kNothingRemovedMessage = "Nothing was removed.";

// Yields of the settle wait before the restore point.
inline constexpr int kSettleYields = 20001;
// The restore-point type the removal opens.
inline constexpr int kRemovalRestorePointType = 6;
// The running total of removed items, in section "Settings".
inline constexpr std::string_view kRemovedTotalKey = "lblDefRemoved";

// The question "Delete" asks, with the restore-point paragraph when System Restore is there.
std::string DeleteQuestion(model::App& app);

// The "Delete" button: nothing checked in the threat list gives a message (none after a
// scheduled scan with automatic removal); otherwise it asks (not after such a scan), shows the
// removal progress, empties the delete-failed list and runs lblRemove_Click. Does nothing while
// a removal runs.
void Command4_Click(model::App& app);

// The "Remove" label: the run itself, without the question. Does nothing while a removal runs.
// When the quarantine folder cannot be created it says so and removes nothing.
void lblRemove_Click(model::App& app);

// "Gathering information..." while the window settles: kSettleYields yields, then the label is
// emptied.
void SettleWait(model::App& app);

// Puts Command4_Click and lblRemove_Click into the main window's controls.
void InstallRemovalSession(model::App& app);

}  // namespace removal
