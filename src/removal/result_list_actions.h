#pragma once
// The results page's "Select All" and "Exclude" buttons, and the routines that delete the
// checked rows of the result lists after a removal or an exclusion.

#include <string_view>

namespace model {
struct App;
}

namespace removal {

inline constexpr std::string_view kNothingToExcludeMessage =
    "Sorry, there are no entries to be excluded.";
inline constexpr std::string_view kExcludeQuestion =
    "Are you sure you want to exclude the selected files?\r\n\r\n"
    "Excluded files will not show up as Adware/Spyware on future scans.\r\n\r\n"
    "You can edit the list of excluded files through the Quarantine menu.";
inline constexpr std::string_view kExcludeTitle = "Really Exclude?";

// Checks every threat row that is not checked yet and runs the threat list's item-check event
// for it (the check propagation), so that its target rows follow. Rows already checked are left
// alone.
void cmdSelectAll_Click(model::App& app);

// After the user confirms, adds the location and the name (without "Cookie: ") of every checked
// threat row to the ignore list, then deletes the checked rows of all five result lists. Does
// nothing while a removal runs, since the removal reads those rows by position.
void cmdExclude_Click(model::App& app);

// Each deletes the checked rows of one list; the other rows keep their order.
void RemoveCheckedFileRows(model::App& app);      // lvwFilesToBeDeleted
void RemoveCheckedCookieRows(model::App& app);    // lvwCookiesToDelete
void RemoveCheckedRegistryRows(model::App& app);  // lvwRegistryToBeDeleted
void RemoveCheckedSpywareRows(model::App& app);   // the scan log lvwSpywareFound
void RemoveCheckedSummaryRows(model::App& app);   // the threat list

// Puts "Select All" and "Exclude" into the main window's buttons.
void InstallResultListActions(model::App& app);

}  // namespace removal
