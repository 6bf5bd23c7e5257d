#pragma once
// Text helpers for the 8-bit (Windows-1252) strings every layer above the machine works with.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace machine {

// Case mapping of one Windows-1252 character (ASCII letters, the accented Latin-1 letters,
// and the pairs S/Z/OE/Y with caron or diaeresis).
char ToUpperChar(char c);
char ToLowerChar(char c);

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
// Position of the first occurrence of needle at or after `from`, ignoring case; npos if none.
size_t FindIgnoreCase(std::string_view haystack, std::string_view needle, size_t from = 0);
// Replaces every occurrence of `from` (compared ignoring case) by `to`, left to right.
std::string ReplaceIgnoreCase(std::string_view text, std::string_view from, std::string_view to);
// Replaces every exact occurrence of `from` by `to`, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Removes leading and trailing blanks (the space character only; tabs and line ends stay).
std::string TrimBlanks(std::string_view text);
// The same, as a view into `text`.
std::string_view TrimBlanksView(std::string_view text);
std::string TrimLeftBlanks(std::string_view text);
std::string TrimRightBlanks(std::string_view text);

// Rounds half to even into a signed 16-bit integer. Returns false when the value is out of range
// (the caller's "overflow").
bool RoundHalfEvenToInt16(double value, int16_t& out);
// Rounds half to even into a signed 32-bit integer; false when out of range.
bool RoundHalfEvenToInt32(double value, int32_t& out);

// Parses a whole text as a number the way the program's numeric conversions do: blanks around
// it allowed, an optional sign, digits with an optional fraction after a ".". False for anything
// else. The decimal point is "." whatever the process locale says.
bool ParseNumber(std::string_view text, double& out);

// Parses a whole text of 1 to `max_digits` (at most 8) hexadecimal digits, either case: no
// sign, no blanks, no "0x". False for anything else.
bool ParseHex(std::string_view text, size_t max_digits, uint32_t& out);

// Cuts a fixed-length buffer's text at its first NUL.
std::string CutAtNul(std::string_view buffer);

// Splits on every occurrence of `separator`; an empty text gives one empty item.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

}  // namespace machine
