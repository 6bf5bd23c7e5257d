#pragma once
// The scan's throttled progress display, called by every stage once per item, and the word
// filter applied to the item shown there.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct App;
}

namespace engine {

// Counts the call; on every hundredth one refreshes the display (the inspected counts, the
// threat count, the item text and the two bars) under the redraw lock. Stage and overall
// percent below 0 leave their bar alone; a percent outside the bar's range leaves it too.
void UpdateScanProgress(model::App& app, std::string_view item, int16_t stage_percent,
                        int16_t overall_percent);

// Refreshes the display now, whatever the count, and starts the count again. The scan's last
// progress call goes here, so the counts shown, reported and added to the removed total are
// the final ones rather than those of the last hundredth call.
void RefreshScanProgress(model::App& app, std::string_view item, int16_t stage_percent,
                         int16_t overall_percent);

// The text with each listed word deleted wherever it occurs, inside longer words too, letter
// case ignored; the words are taken one after the other, each on the result of the one before.
std::string RemoveOffensiveWords(std::string_view text);

}  // namespace engine
