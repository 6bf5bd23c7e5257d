#pragma once
// Fills the hooks through which the lower layers reach the removal: the quarantine log for the
// services' registry deletions, and the ending of programs by name for the memory shield and
// the stop alert.

namespace model {
struct App;
}

namespace removal {

void InstallRemovalHooks(model::App& app);

}  // namespace removal
