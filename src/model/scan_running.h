#pragma once
// Whether a scan is running, as every part of the program asks it.

namespace model {

struct App;

// A scan runs exactly while both scan buttons ("Scan Now" and "Start") are disabled: the scan
// disables them at its start and enables them again at its end.
bool IsScanRunning(const App& app);

}  // namespace model
