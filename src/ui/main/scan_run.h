#pragma once
// A scan as the main window runs it: the window prepared, the driver run, then the dates saved,
// the report written when chosen, the outcome shown and, after a scheduled scan that asks for
// it, the automatic removal.

#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace ui {

// What the user asked for, in the refusal below.
inline constexpr std::string_view kTheScan = "the scan";
inline constexpr std::string_view kLiveUpdate = "Live Update";

// A removal, a Live Update or a shield tick is running: no scan may start.
bool IsScanBlocked(const model::App& app);

// Why `what` cannot start now (a scan, a removal or a Live Update runs, or a shield waits for
// an answer), as the user who asked for it is told; empty when nothing is in the way.
std::string BusyMessage(const model::App& app, std::string_view what);
// Tells the user BusyMessage in an information box; true when something was in the way.
bool TellWhenBusy(model::App& app, std::string_view what);

// The Start button's handler: runs one whole scan and returns when it (and any automatic
// removal after it) has ended. Does nothing while a scan runs; while a removal or a Live Update
// runs, or a shield waits for an answer, it says so (TellWhenBusy) and does not start.
void cmdScanNow_Click(model::App& app);

}  // namespace ui
