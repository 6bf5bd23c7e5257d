#include "machine/profile_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "machine/profile_format.h"
#include "support/temp_machine.h"

namespace machine {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

size_t Characters(std::string_view utf8) {
  size_t count = 0;
  for (const char c : utf8)
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

TEST(ProfileMessageTest, AFolderGivenAsTheProfile) {
  OpenedProfile opened;
  opened.chosen = "/home/u/.wine";
  opened.problems = {{0, "it is a folder, not a profile file"}};
  opened.profile.file = "/home/u/.local/share/hearthguard/profile.ini";
  EXPECT_EQ(DescribeProfileProblems(opened),
            "The machine profile could not be read:\n"
            "/home/u/.wine\n"
            "\n"
            "it is a folder, not a profile file\n"
            "\n"
            "The program goes on with the default machine, kept in\n"
            "/home/u/.local/share/hearthguard");
  EXPECT_EQ(DescribeProfileProblems(OpenedProfile{}), "");
}

TEST(ProfileMessageTest, TheFirstProblemsInLineOrderEscapedWithTheWholePath) {
  hg_test::TempMachine machine;
  const fs::path folder = machine.root() / std::string(150, 'p') / std::string(150, 'q');
  fs::create_directories(folder);
  // Line 2 is too long and the reader finds it last; lines 3 to 26 hold a bad value, then the
  // same key again; no drive is given at all.
  std::string body = "[machine]\n" + std::string(kMaxProfileLine + 1, '\x1B') + "\n";
  body += "os_family = bad\x1B\xFF" + std::string(200, 'z') + "\n";
  for (int i = 0; i < 23; ++i)
    body += "os_family = nt\n";
  std::ofstream(folder / "profile.ini", std::ios::binary) << body;
  OpenedProfile opened;
  opened.chosen = folder / "profile.ini";
  opened.problems = LoadProfile(opened.chosen).errors;
  opened.profile.file = machine.root() / "data" / "profile.ini";

  const std::vector<std::string> lines = LinesOf(DescribeProfileProblems(opened));
  for (const std::string& line : lines)
    EXPECT_LE(Characters(line), kProfileMessageColumns) << line;
  const auto blank = std::find(lines.begin(), lines.end(), "");
  ASSERT_LE(blank - lines.begin() + 23, lines.end() - lines.begin());
  std::string path;
  for (auto line = lines.begin() + 1; line != blank; ++line)
    path += *line;
  EXPECT_EQ(path, opened.chosen.string());
  EXPECT_EQ(blank[1], "line 2: line too long or holding a NUL character");
  EXPECT_TRUE(blank[2].starts_with("line 3: bad value 'bad\\x1B\\xFFzzz")) << blank[2];
  EXPECT_TRUE(blank[2].ends_with("zz\u2026")) << blank[2];
  EXPECT_EQ(blank[3], "line 4: key 'os_family' given twice in [machine]");
  EXPECT_EQ(blank[20], "line 21: key 'os_family' given twice in [machine]");
  EXPECT_EQ(blank[21], "and 6 more");
}

}  // namespace
}  // namespace machine
