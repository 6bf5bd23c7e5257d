#include "ui/main/schedule_match.h"

#include <cstdint>
#include <string>

#include "machine/text.h"

namespace ui {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest number at the start of the text: sign, digits, a fraction after ".".
std::string LeadingNumber(std::string_view text) {
  const std::string trimmed = machine::TrimLeftBlanks(text);
  size_t end = 0;
  if (end < trimmed.size() && (trimmed[end] == '+' || trimmed[end] == '-'))
    ++end;
  while (end < trimmed.size() && IsDigit(trimmed[end]))
    ++end;
  if (end < trimmed.size() && trimmed[end] == '.') {
    ++end;
    while (end < trimmed.size() && IsDigit(trimmed[end]))
      ++end;
  }
  return trimmed.substr(0, end);
}

bool SameSecond(const machine::DateTime& a, const machine::DateTime& b) {
  return a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

bool SameDay(const machine::DateTime& a, const machine::DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// DateTime numbers weekdays from 1 (Sunday); the list from 0 (Monday).
int WeekdayOfCode(int day_code) {
  return (day_code + 1) % 7 + 1;
}

}  // namespace

std::optional<int> StoredDayCode(std::string_view text) {
  double number = 0;
  if (!machine::ParseNumber(LeadingNumber(text), number))
    return 0;
  int32_t rounded = 0;
  if (!machine::RoundHalfEvenToInt32(number, rounded))
    return std::nullopt;
  return rounded;
}

bool ScheduleDue(int day_code, std::string_view time_text, std::string_view date_text,
                 const machine::DateTime& now) {
  const std::optional<machine::DateTime> time = machine::ParseGeneralDate(time_text);
  if (!time || !SameSecond(*time, now))
    return false;
  if (day_code >= kDayMonday && day_code <= kDaySunday)
    return now.Weekday() == WeekdayOfCode(day_code);
  if (day_code == kDayDaily)
    return true;
  if (day_code == kDayOnDate) {
    const std::optional<machine::DateTime> date = machine::ParseGeneralDate(date_text);
    return date && SameDay(*date, now);
  }
  return false;
}

}  // namespace ui
