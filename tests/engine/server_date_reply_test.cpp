// The update server's date reply as Live Update reads it.

#include "engine/definitions/server_date_reply.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerDateReply, IsTrimmedJoinedAndCutAfterTheHalfOfTheDay) {
  struct Case {
    const char* reply;
    const char* cleaned;
  };
  const Case cases[] = {
      {"  3/16/2006 12:00:00 AM  \r\n", "3/16/2006 12:00:00 AM"},
      {"5/1/2007 2:30:00 pm\tPST", "5/1/2007 2:30:00 pm"},
      {"\r\n5/1/2007\r\n", "5/1/2007"},
      // "PM" is looked for first, wherever an "AM" stands.
      {"AMS 5/1/2007 2:30:00 PM x", "AMS 5/1/2007 2:30:00 PM"},
      {"5/1/2007 9:00:00 Am and more", "5/1/2007 9:00:00 Am"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(engine::CleanServerDateReply(c.reply), c.cleaned) << c.reply;
}

TEST(ServerDateReply, ParsesWhatTheCleaningLeaves) {
  EXPECT_EQ(engine::ParseServerDateReply("3/16/2006 1:05:00 PM PST\r\n"),
            (machine::DateTime{2006, 3, 16, 13, 5, 0}));
  EXPECT_EQ(engine::ParseServerDateReply("<html>busy</html>"), std::nullopt);
}

}  // namespace
