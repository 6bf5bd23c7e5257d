#pragma once
// Keeps the target lists in step with the threat list: a threat row's check is copied to every
// target row of that threat. Also saves the drive list's checks whenever one changes.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

// The settings section of the drive checks: one key per drive letter, "True" or "False".
inline constexpr std::string_view kDrivesSection = "Drives";

// The threat list's item-check event; the row at `position` already holds its new state. The
// row's kind picks its own targets (cookie rows by location, registry rows by key path or threat
// name, file rows by threat name, folder rows by path; whole-text, case-sensitive). Besides
// those, a threat row of any of these kinds reaches every file and registry target row whose
// threat name equals its name, so a threat found by several stages follows it whole. A row of
// any other kind changes nothing.
void lvwPicRemoveListOfSpywareFoundAndToBeRemoved_ItemCheck(model::App& app, int position);

// The drive list's item-check event: rewrites every drive row's check to section "Drives".
void lvwHardDrives_ItemCheck(model::App& app, int position);

// Puts the two events into the main window's lists.
void InstallCheckPropagation(model::App& app);

}  // namespace ui
