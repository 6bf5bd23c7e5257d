// The definitions date file.

#include "engine/definitions/definitions_date.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

std::filesystem::path DateFile(AppFixture& h) {
  return h.temp.host(h.app().machine.profile().program_folder + "\\date.dat");
}

std::string HostFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DefinitionsDate, ReadsTheFirstLineOrTheDefault) {
  struct Case {
    const char* name;
    const char* content;  // nullptr: no date.dat
    const char* date;
  };
  const Case cases[] = {
      {"no file", nullptr, "3/16/2006 12:00:00 AM"},
      {"a file of zero bytes has no first line", "", "3/16/2006 12:00:00 AM"},
      {"one line", "5/1/2007 2:30:00 PM\r\n", "5/1/2007 2:30:00 PM"},
      {"no line end", "5/1/2007", "5/1/2007"},
      {"LF line ends, first line only", "5/1/2007\nignored\n", "5/1/2007"},
      {"not trimmed", " 5/1/2007 \r\n", " 5/1/2007 "},
      {"an empty first line", "\r\n5/1/2007\r\n", ""},
  };
  AppFixture h;
  const std::filesystem::path file = DateFile(h);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(file);
    if (c.content)
      h.temp.WriteFile(h.app().machine.profile().program_folder + "\\date.dat", c.content);
    EXPECT_EQ(engine::ReadDefinitionsDate(h.app()), c.date);
  }
}

TEST(DefinitionsDate, WriteMakesTheTextTheOnlyLine) {
  AppFixture h;
  const std::filesystem::path file = DateFile(h);

  ASSERT_TRUE(engine::WriteDefinitionsDate(h.app(), "6/7/2008 8:00:00 AM"));
  EXPECT_EQ(HostFileText(file), "6/7/2008 8:00:00 AM\r\n");
  EXPECT_EQ(engine::ReadDefinitionsDate(h.app()), "6/7/2008 8:00:00 AM");

  h.temp.WriteFile(h.app().machine.profile().program_folder + "\\date.dat",
                   "1/1/2001\r\nold second line\r\n");
  ASSERT_TRUE(engine::WriteDefinitionsDate(h.app(), "7/8/2009"));
  EXPECT_EQ(HostFileText(file), "7/8/2009\r\n");
}

TEST(DefinitionsDate, AWriteThatCannotBeMadeIsReported) {
  AppFixture h;
  std::filesystem::create_directories(DateFile(h));
  EXPECT_FALSE(engine::WriteDefinitionsDate(h.app(), "2/2/2002"));
  EXPECT_TRUE(std::filesystem::is_directory(DateFile(h)));
  EXPECT_EQ(engine::ReadDefinitionsDate(h.app()), "3/16/2006 12:00:00 AM");
}

}  // namespace
