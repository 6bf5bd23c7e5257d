#pragma once
// The scan's throttled progress display, called by every stage once per item.

#include <cstdint>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Stage and overall percent below 0 leave their bar alone.
void UpdateScanProgress(model::App& app, std::string_view item, int16_t stage_percent,
                        int16_t overall_percent);

}  // namespace engine
