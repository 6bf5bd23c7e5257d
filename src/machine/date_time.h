#pragma once
// Local date and time as the program sees them, and the "general date" text form
// (US style: "M/D/YYYY h:mm:ss AM", the date alone at midnight).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace machine {

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  // Days since 1/1/1970 of the date part; seconds since then of the whole value.
  int64_t DaySerial() const;
  int64_t Serial() const;
  static DateTime FromSerial(int64_t seconds);
  // 1 = Sunday ... 7 = Saturday.
  int Weekday() const;
  bool IsMidnight() const { return hour == 0 && minute == 0 && second == 0; }
  DateTime DateOnly() const { return DateTime{year, month, day, 0, 0, 0}; }
  DateTime AddSeconds(int64_t seconds) const { return FromSerial(Serial() + seconds); }

  friend bool operator==(const DateTime&, const DateTime&) = default;
  friend auto operator<=>(const DateTime& a, const DateTime& b) {
    return a.Serial() <=> b.Serial();
  }
};

// "3/16/2006 12:00:00 AM" form; a value at midnight shows its date alone ("3/16/2006"), a value
// on the zero date (12/30/1899) shows its time alone ("1:05:00 PM").
std::string FormatGeneralDate(const DateTime& value);
// "1:05:00 PM" form of the time part.
std::string FormatLongTime(const DateTime& value);
// "3/16/2006" form of the date part.
std::string FormatShortDate(const DateTime& value);

// Reads a date, a time, or a date followed by a time, in the forms above (seconds and AM/PM
// optional, 24-hour time accepted). Blanks around the text are allowed. Nothing for bad input.
std::optional<DateTime> ParseGeneralDate(std::string_view text);

}  // namespace machine
