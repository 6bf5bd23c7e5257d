#pragma once
// A scan as the main window runs it: the window prepared, the driver run, then the dates saved,
// the report written when chosen, the outcome shown and, after a scheduled scan that asks for
// it, the automatic removal.

#include <string_view>

namespace model {
struct App;
}

namespace ui {

// Told when Start is pressed while a removal or a Live Update runs; the scan does not start.
inline constexpr std::string_view kRemovalRunningMessage =
    "A removal is in progress. Start the scan again when it has finished.";
inline constexpr std::string_view kLiveUpdateRunningMessage =
    "Live Update is in progress. Start the scan again when it has finished.";

// While a shield's alert waits for the user, the shield's check is suspended inside it.
inline constexpr std::string_view kShieldAlertOpenMessage =
    "An alert is waiting for your answer. Start the scan again when you have answered it.";

// A removal, a Live Update or a shield's check is running: no scan may start.
bool IsScanBlocked(const model::App& app);

// The Start button's handler: runs one whole scan and returns when it (and any automatic
// removal after it) has ended. Does nothing while a scan runs; while a removal or a Live Update
// runs it says so and does not start.
void cmdScanNow_Click(model::App& app);

}  // namespace ui
