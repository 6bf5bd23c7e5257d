#include "machine/date_time.h"

#include <cstdio>
#include <vector>

#include "machine/text.h"

namespace machine {

namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian), after H. Hinnant.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads an unsigned decimal number at `pos`; false when there is none.
bool ReadNumber(std::string_view t, size_t& pos, int& out) {
  size_t start = pos;
  int value = 0;
  while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9' && pos - start < 6) {
    value = value * 10 + (t[pos] - '0');
    ++pos;
  }
  if (pos == start)
    return false;
  out = value;
  return true;
}

bool ParseDatePart(std::string_view t, DateTime& out) {
  size_t pos = 0;
  int m = 0, d = 0, y = 0;
  if (!ReadNumber(t, pos, m) || pos >= t.size() || (t[pos] != '/' && t[pos] != '-'))
    return false;
  const char sep = t[pos++];
  if (!ReadNumber(t, pos, d) || pos >= t.size() || t[pos] != sep)
    return false;
  ++pos;
  const size_t year_start = pos;
  if (!ReadNumber(t, pos, y) || pos != t.size())
    return false;
  if (pos - year_start <= 2)
    y += y < 30 ? 2000 : 1900;
  if (m < 1 || m > 12 || y < 100 || y > 9999 || d < 1 || d > DaysInMonth(y, m))
    return false;
  out.year = y;
  out.month = m;
  out.day = d;
  return true;
}

bool ParseTimePart(std::string_view t, DateTime& out) {
  std::string upper = ToUpper(t);
  int ampm = 0;  // 0 none, 1 AM, 2 PM
  if (EndsWithIgnoreCase(upper, "AM") || EndsWithIgnoreCase(upper, "PM")) {
    ampm = upper[upper.size() - 2] == 'A' ? 1 : 2;
    upper = TrimRightBlanks(upper.substr(0, upper.size() - 2));
  }
  size_t pos = 0;
  int h = 0, mi = 0, s = 0;
  if (!ReadNumber(upper, pos, h))
    return false;
  if (pos < upper.size()) {
    if (upper[pos] != ':')
      return false;
    ++pos;
    if (!ReadNumber(upper, pos, mi))
      return false;
    if (pos < upper.size()) {
      if (upper[pos] != ':')
        return false;
      ++pos;
      if (!ReadNumber(upper, pos, s) || pos != upper.size())
        return false;
    }
  } else if (ampm == 0) {
    return false;  // a bare number is not a time
  }
  if (ampm != 0) {
    if (h < 1 || h > 12)
      return false;
    h = h % 12 + (ampm == 2 ? 12 : 0);
  }
  if (h > 23 || mi > 59 || s > 59)
    return false;
  out.hour = h;
  out.minute = mi;
  out.second = s;
  return true;
}

}  // namespace

int64_t DateTime::DaySerial() const {
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
}

int64_t DateTime::Serial() const {
  return DaySerial() * 86400 + hour * 3600 + minute * 60 + second;
}

DateTime DateTime::FromSerial(int64_t seconds) {
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  DateTime out;
  CivilFromDays(days, out.year, out.month, out.day);
  out.hour = static_cast<int>(rest / 3600);
  out.minute = static_cast<int>(rest / 60 % 60);
  out.second = static_cast<int>(rest % 60);
  return out;
}

int DateTime::Weekday() const {
  // 1/1/1970 was a Thursday (5 when Sunday is 1).
  const int64_t d = DaySerial();
  return static_cast<int>(((d % 7) + 7 + 4) % 7) + 1;
}

std::string FormatShortDate(const DateTime& v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d/%d/%d", v.month, v.day, v.year);
  return buf;
}

std::string FormatLongTime(const DateTime& v) {
  char buf[32];
  const int h12 = v.hour % 12 == 0 ? 12 : v.hour % 12;
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, v.minute, v.second,
                v.hour < 12 ? "AM" : "PM");
  return buf;
}

std::string FormatGeneralDate(const DateTime& v) {
  const bool zero_date = v.year == 1899 && v.month == 12 && v.day == 30;
  if (zero_date)
    return FormatLongTime(v);
  if (v.IsMidnight())
    return FormatShortDate(v);
  return FormatShortDate(v) + " " + FormatLongTime(v);
}

std::optional<DateTime> ParseGeneralDate(std::string_view text) {
  const std::string t = TrimBlanks(text);
  if (t.empty())
    return std::nullopt;
  DateTime out;
  const size_t space = t.find(' ');
  const std::string first = t.substr(0, space);
  if (ParseDatePart(first, out)) {
    if (space == std::string::npos)
      return out;
    if (ParseTimePart(TrimBlanks(t.substr(space + 1)), out))
      return out;
    return std::nullopt;
  }
  if (ParseTimePart(t, out))
    return out;
  return std::nullopt;
}

}  // namespace machine
