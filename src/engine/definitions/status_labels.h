#pragma once
// The value labels of the status page: version, definitions date, definition count, last scan,
// removed items and last full scan.

#include <string>

namespace model {
struct App;
}

namespace engine {

// Fills the six value labels afresh from the definition count, the version information, the
// definitions date and the three settings; keeps nothing between calls.
void RefreshStatusLabels(model::App& app);

// The options page's line "Signatures Last Updated On <definitions date> PST".
void RefreshLastUpdateLabel(model::App& app);

}  // namespace engine
