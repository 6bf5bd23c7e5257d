#include "machine/text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace machine {

namespace {

unsigned char U(char c) {
  return static_cast<unsigned char>(c);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

char ToUpperChar(char c) {
  const unsigned char u = U(c);
  if (u >= 'a' && u <= 'z')
    return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
    return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

char ToLowerChar(char c) {
  const unsigned char u = U(c);
  if (u >= 'A' && u <= 'Z')
    return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
    return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = ToUpperChar(c);
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = ToLowerChar(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToUpperChar(a[i]) != ToUpperChar(b[i]))
      return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty())
    return from <= haystack.size() ? from : std::string_view::npos;
  if (haystack.size() < needle.size())
    return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (EqualsIgnoreCase(haystack.substr(i, needle.size()), needle))
      return i;
  }
  return std::string_view::npos;
}

std::string ReplaceIgnoreCase(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty())
    return std::string(text);
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = FindIgnoreCase(text, from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos)).append(to);
  }
  out.append(text.substr(pos));
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty())
    return std::string(text);
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos)).append(to);
  }
  out.append(text.substr(pos));
  return out;
}

std::string TrimLeftBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string TrimRightBlanks(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string TrimBlanks(std::string_view text) {
  return std::string(TrimBlanksView(text));
}

std::string_view TrimBlanksView(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

template <typename Int>
bool RoundHalfEven(double value, Int& out) {
  if (!std::isfinite(value))
    return false;
  const double rounded = std::nearbyint(value);  // default rounding mode: half to even
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return false;
  }
  out = static_cast<Int>(rounded);
  return true;
}

}  // namespace

bool RoundHalfEvenToInt16(double value, int16_t& out) {
  return RoundHalfEven(value, out);
}
bool RoundHalfEvenToInt32(double value, int32_t& out) {
  return RoundHalfEven(value, out);
}

bool ParseNumber(std::string_view text, double& out) {
  const std::string t = TrimBlanks(text);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-'))
    ++i;
  const size_t whole_start = i;
  size_t digits = 0;
  while (i < t.size() && IsDigit(t[i]))
    ++i, ++digits;
  const size_t whole_end = i;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i]))
      ++i, ++digits;
  }
  if (digits == 0 || i != t.size())
    return false;
  // from_chars takes no "+" and, unlike strtod, never the process locale's decimal point.
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  const char* last = t.data() + t.size();
  double value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    // More digits than a double holds: infinity when the whole part is not zero, else zero.
    const std::string_view whole = std::string_view(t).substr(whole_start, whole_end - whole_start);
    value = whole.find_first_not_of('0') != std::string_view::npos
                ? std::numeric_limits<double>::infinity()
                : 0.0;
    out = t[0] == '-' ? -value : value;
    return true;
  }
  if (error != std::errc() || end != last)
    return false;
  out = value;
  return true;
}

bool ParseHex(std::string_view text, size_t max_digits, uint32_t& out) {
  if (text.empty() || text.size() > max_digits || text.size() > 8)
    return false;
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size())
    return false;
  out = value;
  return true;
}

std::string CutAtNul(std::string_view buffer) {
  const size_t nul = buffer.find('\0');
  return std::string(nul == std::string_view::npos ? buffer : buffer.substr(0, nul));
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> items;
  if (separator.empty()) {
    items.emplace_back(text);
    return items;
  }
  size_t pos = 0;
  for (size_t hit; (hit = text.find(separator, pos)) != std::string_view::npos;
       pos = hit + separator.size()) {
    items.emplace_back(text.substr(pos, hit - pos));
  }
  items.emplace_back(text.substr(pos));
  return items;
}

}  // namespace machine
