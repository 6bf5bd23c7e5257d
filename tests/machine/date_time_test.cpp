#include "machine/date_time.h"

#include <gtest/gtest.h>

namespace machine {
namespace {

TEST(DateTimeTest, GeneralDateFormat) {
  const struct {
    DateTime value;
    const char* text;
  } kCases[] = {
      {{2006, 3, 16, 0, 0, 0}, "3/16/2006"},
      {{2006, 3, 16, 0, 0, 1}, "3/16/2006 12:00:01 AM"},
      {{2006, 3, 16, 12, 5, 9}, "3/16/2006 12:05:09 PM"},
      {{2024, 12, 31, 23, 59, 59}, "12/31/2024 11:59:59 PM"},
      {{1899, 12, 30, 13, 5, 0}, "1:05:00 PM"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(FormatGeneralDate(c.value), c.text);
}

TEST(DateTimeTest, GeneralDateParse) {
  const struct {
    const char* text;
    std::optional<DateTime> value;
  } kCases[] = {
      {"3/16/2006 12:00:00 AM", DateTime{2006, 3, 16, 0, 0, 0}},
      {"  3/16/2006  ", DateTime{2006, 3, 16, 0, 0, 0}},
      {"3/16/2006 12:00:00 PM", DateTime{2006, 3, 16, 12, 0, 0}},
      {"2/29/2024 23:15", DateTime{2024, 2, 29, 23, 15, 0}},
      {"1:05 pm", DateTime{1899, 12, 30, 13, 5, 0}},
      {"2/29/2023", std::nullopt},
      {"13/1/2006", std::nullopt},
      {"3/16/2006 25:00:00", std::nullopt},
      {"3/16/2006 0:00:00 AM", std::nullopt},
      {"3/16", std::nullopt},
      {"12", std::nullopt},
      {"", std::nullopt},
      {"soon", std::nullopt},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ParseGeneralDate(c.text), c.value) << c.text;
}

TEST(DateTimeTest, FormatAndParseAgree) {
  const DateTime start{1999, 12, 31, 0, 0, 0};
  for (int64_t step = 0; step < 400; ++step) {
    const DateTime value = start.AddSeconds(step * 86400 * 3 + step * 3607);
    EXPECT_EQ(ParseGeneralDate(FormatGeneralDate(value)), value) << FormatGeneralDate(value);
  }
  EXPECT_EQ((DateTime{2006, 3, 16, 0, 0, 0}).Weekday(), 5);  // a Thursday
  EXPECT_EQ((DateTime{2000, 2, 28, 23, 59, 59}).AddSeconds(1), (DateTime{2000, 2, 29, 0, 0, 0}));
}

}  // namespace
}  // namespace machine
