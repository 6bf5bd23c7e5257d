#pragma once
// The scan driver: checks the definition set, then runs the stages in their fixed order, each
// as its option says: tracking cookies, running programs, registry, known files and folders.

#include <string_view>

namespace model {
struct App;
}

namespace engine {

// The message shown when the definition set is damaged; the scan then runs no stage.
inline constexpr std::string_view kDefinitionsMissingMessage =
    "Definition files are missing or they have been corrupted. Please run Liveupdate.";

// Runs one scan's stages on the main window's lists and labels; the caller has prepared the
// window and the counters. False when the definition set failed its check: the message box has
// been shown and no stage ran. A stop request is not tested here: every remaining stage starts
// and ends at its own first test of the flag.
bool RunScan(model::App& app);

}  // namespace engine
