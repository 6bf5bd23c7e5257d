#include "engine/definitions/ignore_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/app_fixture.h"

namespace {

const std::string kListFile = "C:\\Program Files\\Hearthguard\\ENoSignature.txt";

TEST(IgnoreListMatching, ExactAndFolderRules) {
  struct Case {
    std::string list;
    std::string item;
    bool exact;
    bool partial;
  };
  const std::vector<Case> cases = {
      // An empty list has no entries at all, not even an empty one.
      {"", "", false, false},
      {"", "C:\\a.exe", false, false},
      // The empty entry after the last "|" matches only an empty (or blank) item.
      {"C:\\a.exe|", "", true, true},
      {"C:\\a.exe|", "   ", true, true},
      {"C:\\a.exe|", "C:\\b.exe", false, false},
      // Letter case and blanks around the item do not matter.
      {"C:\\Program Files\\A.exe|", "c:\\program files\\a.EXE", true, true},
      {"C:\\a.exe|", "  C:\\A.EXE ", true, true},
      // An entry whose line ends in a blank never matches an item without it.
      {"C:\\a.exe |", "C:\\a.exe", false, false},
      {"C:\\a.exe |", "C:\\a.exe ", true, true},
      // Cp1252 letters fold too.
      {"C:\\\xC9t\xE9.exe|", "c:\\\xE9T\xC9.EXE", true, true},
      // A folder holding an excluded entry counts as excluded in the partial test only.
      {"C:\\Program Files\\Acme\\bar.dll|", "C:\\PROGRAM FILES\\acme", false, true},
      {"C:\\Program Files\\Acme\\bar.dll|", "C:\\Program Files\\Acme\\", false, true},
      {"C:\\Program Files\\Acme\\bar.dll|", "C:\\Program Files", false, true},
      // ... but not a folder whose name only begins the same way, nor any other substring.
      {"C:\\Program Files\\AcmeBar\\x.dll|", "C:\\Program Files\\Acme", false, false},
      {"C:\\Program Files\\Acme\\bar.dll|", "Acme", false, false},
      {"C:\\Program Files\\Acme\\bar.dll|", "bar.dll", false, false},
      // An entry that is only the beginning of the item's path does not exclude it.
      {"C:\\Program Files|", "C:\\Program Files\\Acme", false, false},
      // An entry that is a folder written with its closing "\" lies inside that folder.
      {"C:\\Acme\\|", "C:\\ACME", false, true},
      {"C:\\a\\\\b|", "C:\\a\\\\", false, true},
      // Later entries are tested too.
      {"C:\\a|C:\\b|C:\\c|", "c:\\C", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.list) + " / " + testing::PrintToString(c.item));
    EXPECT_EQ(engine::IgnoreListMatches(c.list, c.item), c.exact);
    EXPECT_EQ(engine::IgnoreListMatchesPartial(c.list, c.item), c.partial);
  }
}

class IgnoreListTest : public ::testing::Test {
 protected:
  model::App& app() { return fixture_.app(); }
  machine::FileSystem& files() { return fixture_.machine().files(); }
  const std::string& List() { return app().definitions.strIgnoreList; }

  hg_test::AppFixture fixture_;
};

TEST_F(IgnoreListTest, NoFileIsAnEmptyList) {
  app().definitions.strIgnoreList = "stale|";
  EXPECT_TRUE(engine::LoadIgnoreList(app()));
  EXPECT_EQ(List(), "");
  EXPECT_FALSE(engine::IsIgnored(app(), ""));
  EXPECT_FALSE(engine::IsIgnoredPartial(app(), ""));
}

TEST_F(IgnoreListTest, LoadKeepsNonBlankLinesAsRead) {
  struct Case {
    std::string file;
    std::string list;
  };
  const std::vector<Case> cases = {
      {"C:\\a.exe\r\n   \r\nC:\\b.exe\r\n", "C:\\a.exe|C:\\b.exe|"},
      {"C:\\a.exe\nC:\\b.exe", "C:\\a.exe|C:\\b.exe|"},  // LF alone; no end on the last line
      {" C:\\a.exe \r\n\r\n", " C:\\a.exe |"},           // blanks kept, blank lines dropped
      {"C:\\a|b.exe\r\n", "C:\\a|b.exe|"},               // "|" splits the entry in two
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.file));
    ASSERT_TRUE(files().WriteFile(kListFile, c.file));
    EXPECT_TRUE(engine::LoadIgnoreList(app()));
    EXPECT_EQ(List(), c.list);
  }
  // The two halves of an entry holding "|" are two entries; the whole is none.
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a|b.exe\r\n"));
  engine::LoadIgnoreList(app());
  EXPECT_TRUE(engine::IsIgnored(app(), "C:\\a"));
  EXPECT_TRUE(engine::IsIgnored(app(), "b.exe"));
  EXPECT_FALSE(engine::IsIgnored(app(), "C:\\a|b.exe"));
}

TEST_F(IgnoreListTest, LoadYieldsAfterEachLine) {
  ASSERT_TRUE(files().WriteFile(kListFile, "a\r\n\r\nb\r\n"));
  const int64_t before = fixture_.backend.YieldCount();
  engine::LoadIgnoreList(app());
  EXPECT_EQ(fixture_.backend.YieldCount() - before, 3);
}

// Every writer appends and then reloads: the reload reads only what was appended.
TEST_F(IgnoreListTest, AnAdditionReadsOnlyTheAddedLine) {
  ASSERT_TRUE(files().WriteFile(kListFile, "a\r\nb\r\nc\r\n"));
  engine::LoadIgnoreList(app());
  const int64_t before = fixture_.backend.YieldCount();
  engine::AddToIgnoreList(app(), "d");
  EXPECT_EQ(fixture_.backend.YieldCount() - before, 1);
  EXPECT_EQ(List(), "a|b|c|d|");
}

// A file that did more than grow since the last load is read whole.
TEST_F(IgnoreListTest, AFileChangedInPlaceIsReadWhole) {
  std::string blank_lines;  // over 4 KiB of them, left as they were by an edit further up
  for (int i = 0; i < 2100; ++i)
    blank_lines += "\r\n";
  struct Case {
    const char* what;
    std::string before;
    std::ios::openmode mode;
    std::string written;
    std::string list;
  };
  const Case cases[] = {
      {"rewritten longer", "C:\\a.exe\r\n", std::ios::trunc, "C:\\b.exe\r\nC:\\c.exe\r\n",
       "C:\\b.exe|C:\\c.exe|"},
      {"its last line continued", "C:\\a", std::ios::app, "b.exe\r\n", "C:\\ab.exe|"},
      // Edits that keep the file, its size or more, and its last 4 KiB.
      {"an entry renamed in place", "C:\\Old\\old.exe\r\n" + blank_lines,
       std::ios::in | std::ios::out, "C:\\New\\new.exe", "C:\\New\\new.exe|"},
      // Rewriting the same inode stands for a rename onto the name that got the old inode back.
      {"saved through a rename that got the inode back", "C:\\Old\\old.exe\r\n" + blank_lines,
       std::ios::trunc, "C:\\Newer\\newer.exe\r\n" + blank_lines, "C:\\Newer\\newer.exe|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(files().WriteFile(kListFile, c.before));
    engine::LoadIgnoreList(app());
    std::ofstream(fixture_.temp.host(kListFile), std::ios::binary | std::ios::out | c.mode)
        << c.written;
    EXPECT_TRUE(engine::LoadIgnoreList(app()));
    EXPECT_EQ(List(), c.list);
  }
}

// Each addition is a line of its own, whatever the file ended with.
TEST_F(IgnoreListTest, AddAppendsTheTrimmedItemAndReloads) {
  struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string file;
    std::string list;
  };
  const std::string kBar = "C:\\Acme\\bar.exe";
  const Case cases[] = {
      {"no file yet", std::nullopt, kBar + "\r\n", kBar + "|"},
      {"the item there already", kBar + "\r\n", kBar + "\r\n" + kBar + "\r\n",
       kBar + "|" + kBar + "|"},
      {"a last line without its end", "C:\\Old\\old.exe", "C:\\Old\\old.exe\r\n" + kBar + "\r\n",
       "C:\\Old\\old.exe|" + kBar + "|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.before)
      ASSERT_TRUE(files().WriteFile(kListFile, *c.before));
    else
      std::filesystem::remove(fixture_.temp.host(kListFile));
    engine::LoadIgnoreList(app());
    engine::AddToIgnoreList(app(), "  C:\\Acme\\bar.exe  ");
    EXPECT_EQ(files().ReadFile(kListFile).value_or(""), c.file);
    EXPECT_EQ(List(), c.list);
  }
  EXPECT_TRUE(engine::IsIgnored(app(), "c:\\acme\\BAR.exe"));
  EXPECT_TRUE(engine::IsIgnored(app(), "C:\\Old\\old.exe"));
  EXPECT_TRUE(engine::IsIgnoredPartial(app(), "C:\\Acme"));
  EXPECT_FALSE(engine::IsIgnored(app(), "C:\\Acme"));
}

// A grown file adds to what the tests answer from; an edited one replaces all of it.
TEST_F(IgnoreListTest, TheTestsFollowTheFileWhetherItGrowsOrIsEdited) {
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a\\x.exe\r\nC:\\b.exe\r\n"));
  engine::LoadIgnoreList(app());
  engine::AddToIgnoreList(app(), "C:\\c.exe");
  for (const char* item : {"C:\\a\\x.exe", "C:\\b.exe", "C:\\c.exe"})
    EXPECT_TRUE(engine::IsIgnored(app(), item)) << item;
  EXPECT_TRUE(engine::IsIgnoredPartial(app(), "C:\\a"));

  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\c.exe\r\n"));
  engine::LoadIgnoreList(app());
  EXPECT_FALSE(engine::IsIgnored(app(), "C:\\b.exe"));
  EXPECT_FALSE(engine::IsIgnoredPartial(app(), "C:\\a"));
  EXPECT_TRUE(engine::IsIgnored(app(), "C:\\c.exe"));
}

TEST_F(IgnoreListTest, HiddenFileIsNoList) {
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a.exe\r\n"));
  if (!files().SetHidden(kListFile, true))
    GTEST_SKIP() << "this file system keeps no DOS attributes";
  EXPECT_TRUE(engine::LoadIgnoreList(app()));
  EXPECT_EQ(List(), "");
}

TEST_F(IgnoreListTest, ScanDuringARebuildSeesTheOldListWhole) {
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a.exe\r\nC:\\b.exe\r\n"));
  engine::LoadIgnoreList(app());
  // Replaced rather than appended to, so that the whole file is read again.
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n"));

  std::vector<std::string> seen;
  for (int yield = 1; yield <= 3; ++yield) {
    fixture_.backend.AtYield(yield, "scan tests the list", [&] {
      std::string result;
      for (const char* item : {"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"})
        result += engine::IsIgnored(app(), item) ? '1' : '0';
      seen.push_back(result);
    });
  }
  engine::LoadIgnoreList(app());
  EXPECT_EQ(seen, (std::vector<std::string>{"110", "110", "110"}));
  EXPECT_TRUE(engine::IsIgnored(app(), "C:\\c.exe"));
}

TEST_F(IgnoreListTest, ItemAddedDuringARebuildIsNotLost) {
  ASSERT_TRUE(files().WriteFile(kListFile, "C:\\a.exe\r\nC:\\b.exe\r\n"));
  fixture_.backend.AtYield(1, "user excludes an item",
                           [&] { engine::AddToIgnoreList(app(), "C:\\c.exe"); });
  engine::LoadIgnoreList(app());
  EXPECT_EQ(List(), "C:\\a.exe|C:\\b.exe|C:\\c.exe|");
}

}  // namespace
