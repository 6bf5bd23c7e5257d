#include "machine/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "machine/encoding.h"

namespace machine {
namespace {

TEST(TextTest, CaseFoldingCoversWindows1252Letters) {
  EXPECT_EQ(ToUpper("abc xyz \xE0\xE9\xFE \x9A\x9C\x9E\xFF"),
            "ABC XYZ \xC0\xC9\xDE \x8A\x8C\x8E\x9F");
  EXPECT_EQ(ToLower("ABC \xC0\xC9\xDE \x8A\x8C\x8E\x9F"), "abc \xE0\xE9\xFE \x9A\x9C\x9E\xFF");
  // Neither the multiplication nor the division sign is a letter; sharp s has no capital.
  EXPECT_EQ(ToUpper("\xF7\xDF"), "\xF7\xDF");
  EXPECT_EQ(ToLower("\xD7"), "\xD7");
  EXPECT_TRUE(EqualsIgnoreCase("C:\\Program Files\\Caf\xE9", "c:\\PROGRAM FILES\\CAF\xC9"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
  EXPECT_EQ(FindIgnoreCase("C:\\Documents\\START MENU\\x", "\\start menu"), 12u);
  EXPECT_EQ(FindIgnoreCase("abc", "d"), std::string::npos);
  EXPECT_EQ(ReplaceIgnoreCase("a\\Start Menu\\b\\START MENU", "\\start menu", ""), "a\\b");
  EXPECT_TRUE(StartsWithIgnoreCase("HTTP://x", "http://"));
  EXPECT_TRUE(EndsWithIgnoreCase("file.EXE", ".exe"));
}

TEST(TextTest, TrimmingRemovesBlanksOnly) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimBlanks(" \r\n"), "\r\n");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimLeftBlanks("  a "), "a ");
  EXPECT_EQ(TrimRightBlanks("  a "), "  a");
}

TEST(TextTest, RoundsHalfToEvenIntoSixteenBits) {
  const struct {
    double value;
    bool ok;
    int16_t expected;
  } kCases[] = {
      {0.5, true, 0},           {1.5, true, 2},
      {2.5, true, 2},           {-0.5, true, 0},
      {-1.5, true, -2},         {-2.5, true, -2},
      {2.4999, true, 2},        {32767.4, true, 32767},
      {32767.5, false, 0},      {-32768.5, true, -32768},
      {-32769.0, false, 0},     {1e10, false, 0},
      {std::nan(""), false, 0}, {std::numeric_limits<double>::infinity(), false, 0},
  };
  for (const auto& c : kCases) {
    int16_t out = 99;
    EXPECT_EQ(RoundHalfEvenToInt16(c.value, out), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(out, c.expected) << c.value;
    }
  }
}

// The numeric part of a locale whose decimal point is a comma, as Qt sets it at start-up from
// a German or French user's environment; the previous one again afterwards.
class CommaDecimalLocale {
 public:
  CommaDecimalLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE",
                             "fr_FR", "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr &&
          std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        active_ = true;
        return;
      }
    }
    std::setlocale(LC_NUMERIC, previous_.c_str());
  }
  ~CommaDecimalLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
  CommaDecimalLocale(const CommaDecimalLocale&) = delete;
  CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

  bool active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

TEST(TextTest, NumbersReadTheSameUnderACommaDecimalLocale) {
  CommaDecimalLocale comma;
  if (!comma.active())
    GTEST_SKIP() << "no locale with a decimal comma is installed (scripts/install-deps.sh "
                    "generates de_DE.UTF-8)";
  const struct {
    const char* text;
    bool ok;
    double value;
  } kCases[] = {
      {"2.5", true, 2.5},
      {" -1.5 ", true, -1.5},
      {"+.25", true, 0.25},
      {"2,5", false, 0},
  };
  for (const auto& c : kCases) {
    double out = 0;
    EXPECT_EQ(ParseNumber(c.text, out), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(out, c.value) << c.text;
    }
  }
}

TEST(TextTest, ParsesNumbersTheProgramsWay) {
  const struct {
    std::string text;
    bool ok;
    double value;
  } kCases[] = {
      {"42", true, 42},
      {" -3.5 ", true, -3.5},
      {"+7", true, 7},
      {".5", true, 0.5},
      {"", false, 0},
      {"-", false, 0},
      {"1e3", false, 0},
      {"12abc", false, 0},
      {"0x10", false, 0},
      {"\t1", false, 0},
      // More digits than a double holds: as large or as small as a double goes.
      {"-1" + std::string(400, '0'), true, -std::numeric_limits<double>::infinity()},
      {"0." + std::string(400, '0') + "1", true, 0},
  };
  for (const auto& c : kCases) {
    double out = 0;
    EXPECT_EQ(ParseNumber(c.text, out), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(out, c.value) << c.text;
    }
  }
}

TEST(TextTest, SplitsAndCutsBuffers) {
  EXPECT_EQ(Split("a|b||c", "|"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(Split("", "|"), (std::vector<std::string>{""}));
  EXPECT_EQ(Split("a[BR]b", "[BR]"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(CutAtNul(std::string("C:\\x\0   ", 8)), "C:\\x");
}

TEST(EncodingTest, Windows1252AndUtf8RoundTrip) {
  std::string every;
  for (int c = 1; c < 256; ++c)
    every.push_back(static_cast<char>(c));
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(every)), every);
  EXPECT_EQ(Windows1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC\xC3\xA9"), "\x80\xE9");
  // Not UTF-8, or a character the 8-bit set lacks: no conversion, and host names keep bytes.
  EXPECT_FALSE(Utf8ToWindows1252("\xE9t\xE9").has_value());
  EXPECT_FALSE(Utf8ToWindows1252("\xE4\xB8\xAD").has_value());
  EXPECT_FALSE(Utf8ToWindows1252("\xC0\xAF").has_value());  // overlong "/"
  EXPECT_EQ(HostTextToWindows("\xE9t\xE9"), "\xE9t\xE9");
}

}  // namespace
}  // namespace machine
