#pragma once
// When a saved schedule is due: the day codes of the schedule's list and the match of the
// stored texts against the clock, to the second. Weekdays are compared by number, so a schedule
// means the same in every language.

#include <optional>
#include <string_view>

#include "machine/date_time.h"

namespace ui {

// Positions in the day list, saved as "Day": 0 Monday ... 6 Sunday, then these.
inline constexpr int kDayMonday = 0;
inline constexpr int kDaySunday = 6;
inline constexpr int kDayDaily = 7;
inline constexpr int kDayOnDate = 8;
inline constexpr int kDayNever = 9;

// The stored "Day" as the tick reads it: the number the text begins with (blanks before it
// allowed), rounded half to even; 0 when it begins with none; nothing when out of range.
std::optional<int> StoredDayCode(std::string_view text);

// Whether the schedule falls on `now`: the stored time (any text the clock can read, date part
// ignored) equals now to the second, and the day code allows today (its weekday, every day, or
// the stored date). A text that is no time or date ("Null" among them) never matches.
bool ScheduleDue(int day_code, std::string_view time_text, std::string_view date_text,
                 const machine::DateTime& now);

}  // namespace ui
