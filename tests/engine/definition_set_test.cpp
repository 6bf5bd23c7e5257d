#include "engine/definitions/definition_set.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "engine/definitions/definitions_date.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/status_labels.h"
#include "machine/host_files.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"

namespace {

const std::string kFolder = "C:\\Program Files\\Hearthguard\\";
const std::vector<std::string> kFiveFiles = {"FileDefinition.dat", "RegistryDefinition.dat",
                                             "ExeDefinition.dat", "BlockedCookies.dat",
                                             "DirectoryDefinition.dat"};

std::vector<std::string> ReadAll(engine::LineReader reader) {
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line))
    lines.push_back(line);
  return lines;
}

TEST(LineReader, EndsLinesAtCrLfOrLfAlone) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
    // In an encoded file, where LF and CR are text that the codec gives characters like "É".
    std::vector<std::string> encoded_lines;
  };
  const std::vector<Case> cases = {
      {"", {}, {}},
      {"a", {"a"}, {"a"}},
      {"a\r\n", {"a"}, {"a"}},
      {"\r\n\r\n", {"", ""}, {"", ""}},
      {"a\r\nb", {"a", "b"}, {"a", "b"}},
      {"a\nb\n", {"a", "b"}, {"a\nb\n"}},
      {"a\n\r\nb\r\n", {"a", "", "b"}, {"a\n", "b"}},
      {"\nditeur\r\n\n", {"", "diteur", ""}, {"\nditeur", "\n"}},
      // A CR that no LF follows is text of the line.
      {"a\rb\r\n", {"a\rb"}, {"a\rb"}},
      {"a\r", {"a\r"}, {"a\r"}},
  };
  using Ends = engine::LineReader::Ends;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(engine::LineReader(c.text).CountRemaining(), static_cast<int64_t>(c.lines.size()));
    EXPECT_EQ(ReadAll(engine::LineReader(c.text)), c.lines);
    EXPECT_EQ(engine::LineReader(c.text, Ends::kCrLfOnly).CountRemaining(),
              static_cast<int32_t>(c.encoded_lines.size()));
    EXPECT_EQ(ReadAll(engine::LineReader(c.text, Ends::kCrLfOnly)), c.encoded_lines);
  }
}

class DefinitionSetTest : public ::testing::Test {
 protected:
  model::App& app() { return fixture_.app(); }
  machine::FileSystem& files() { return fixture_.machine().files(); }
  bool Exists(const std::string& name) { return files().Attributes(kFolder + name).has_value(); }
  void Write(const std::string& name, const std::string& content) {
    ASSERT_TRUE(files().WriteFile(kFolder + name, content));
  }
  std::string Read(const std::string& name) {
    return files().ReadFile(kFolder + name).value_or("");
  }
  void WriteFiveEmpty() {
    for (const std::string& name : kFiveFiles)
      Write(name, "");
  }

  hg_test::AppFixture fixture_;
};

TEST_F(DefinitionSetTest, ReaderDecodesEachLineAndMissesHiddenFiles) {
  Write("ExeDefinition.dat", services::EncodeText("a.exe=A|[windir]") + "\r\n" +
                                 services::EncodeText("b.exe=B") + "\n" +
                                 services::EncodeText("c.exe=C"));
  auto reader = engine::DefinitionReader::Open(app().system, "exedefinition.dat");
  ASSERT_TRUE(reader);
  std::vector<std::string> lines;
  std::string line;
  while (reader->ReadLine(line))
    lines.push_back(line);
  // A bare LF is the stored form of "\xC9", not a line end.
  EXPECT_EQ(lines, (std::vector<std::string>{"a.exe=A|[windir]",
                                             "b.exe=B\xC9"
                                             "c.exe=C"}));

  EXPECT_FALSE(engine::DefinitionReader::Open(app().system, "FileDefinition.dat"));
  Write(".hidden.dat", "x");
  EXPECT_FALSE(engine::DefinitionReader::Open(app().system, ".hidden.dat"));
}

TEST_F(DefinitionSetTest, FiveEmptyFilesPassAndCountNothing) {
  WriteFiveEmpty();
  app().definitions.lngFileDefinitionCount = 7;
  EXPECT_TRUE(engine::CheckDefinitionFiles(app()));
  EXPECT_EQ(engine::CountDefinitions(app()), 0);
  const model::DefinitionsState& counts = app().definitions;
  EXPECT_EQ(counts.lngCookieDefinitionCount, 0);
  EXPECT_EQ(counts.lngExeDefinitionCount, 0);
  EXPECT_EQ(counts.lngRegistryDefinitionCount, 0);
  EXPECT_EQ(counts.lngFileDefinitionCount, 0);
  for (const std::string& name : kFiveFiles)
    EXPECT_TRUE(Exists(name)) << name;
}

TEST_F(DefinitionSetTest, AnyMissingFileDeletesTheWholeSet) {
  for (const std::string& missing : kFiveFiles) {
    SCOPED_TRACE(missing);
    WriteFiveEmpty();
    Write("date.dat", "5/1/2007 12:00:00 AM\r\n");
    ASSERT_TRUE(files().DeleteFile(kFolder + missing));
    app().frmMain.lblDefVersion.SetCaption("5/1/2007 12:00:00 AM PST");
    app().definitions.lngTotalDefinitions = 75;

    EXPECT_FALSE(engine::CheckDefinitionFiles(app()));
    EXPECT_EQ(app().frmMain.lblDefVersion.Caption(), "Files Missing, Run Live Update");
    EXPECT_EQ(app().definitions.lngTotalDefinitions, 0);
    for (const std::string& name : kFiveFiles)
      EXPECT_FALSE(Exists(name)) << name;
    EXPECT_FALSE(Exists("date.dat"));
    EXPECT_EQ(engine::ReadDefinitionsDate(app()), "3/16/2006 12:00:00 AM");
  }
}

TEST_F(DefinitionSetTest, HiddenDefinitionFileCountsAsMissing) {
  WriteFiveEmpty();
  if (!files().SetHidden(kFolder + "RegistryDefinition.dat", true))
    GTEST_SKIP() << "this file system keeps no DOS attributes";
  EXPECT_FALSE(engine::CheckDefinitionFiles(app()));
  // The hidden one goes with the rest, so the next Live Update starts from a clean folder.
  for (const std::string& name : kFiveFiles)
    EXPECT_FALSE(Exists(name)) << name;
}

TEST_F(DefinitionSetTest, CountsEveryLineOfEachKind) {
  Write("BlockedCookies.dat", "a\r\nb\r\nc");             // last line without its end
  Write("ExeDefinition.dat", "\r\n\r\n");                 // two empty lines
  Write("RegistryDefinition.dat", "a\r\nb\nc\r\nd\r\n");  // LF alone ends no line
  Write("FileDefinition.dat", "a\r\n");                   // file and folder lines add up
  Write("DirectoryDefinition.dat", "a\r\nb\r\n");
  EXPECT_EQ(engine::CountDefinitions(app()), 3 + 2 + 3 + 3);
  const model::DefinitionsState& counts = app().definitions;
  EXPECT_EQ(counts.lngCookieDefinitionCount, 3);
  EXPECT_EQ(counts.lngExeDefinitionCount, 2);
  EXPECT_EQ(counts.lngRegistryDefinitionCount, 3);
  EXPECT_EQ(counts.lngFileDefinitionCount, 3);

  // An absent file adds nothing, and the counts start again from zero.
  ASSERT_TRUE(files().DeleteFile(kFolder + "BlockedCookies.dat"));
  EXPECT_EQ(engine::CountDefinitions(app()), 2 + 3 + 3);
  EXPECT_EQ(app().definitions.lngCookieDefinitionCount, 0);
}

// Files of a billion lines and more: the kinds and the total add up past 32 bits.
TEST_F(DefinitionSetTest, CountsOfBillionsOfLinesAddUpAndShowGrouped) {
  engine::DefinitionFileLines lines;
  lines.cookies = 3;
  lines.files = 1'100'000'000;
  lines.folders = 1'100'000'000;
  model::DefinitionsState& counts = app().definitions;
  counts.lngTotalDefinitions = engine::StoreDefinitionCounts(counts, lines);
  EXPECT_EQ(counts.lngFileDefinitionCount, 2'200'000'000);
  EXPECT_EQ(counts.lngTotalDefinitions, 2'200'000'003);
  engine::RefreshStatusLabels(app());
  EXPECT_EQ(app().frmMain.lblDefCount.Caption(), "2,200,000,003");
}

TEST_F(DefinitionSetTest, DownloadedFilesReplaceTheLiveOnes) {
  Write("FileDefinition.dat", "old");
  Write("DLFileDefinition.dat", "new file lines");         // beside a live file
  Write("DLBlockedCookies.dat", "new cookie lines");       // without a live file
  Write("DLDirectoryDefinition.dat", "no such download");  // never installed
  Write("ExeDefinition.dat", "exe lines");                 // no download: unchanged

  engine::InstallDownloadedDefinitions(app());
  EXPECT_EQ(Read("FileDefinition.dat"), "new file lines");
  EXPECT_EQ(Read("BlockedCookies.dat"), "new cookie lines");
  EXPECT_EQ(Read("ExeDefinition.dat"), "exe lines");
  EXPECT_FALSE(Exists("DLFileDefinition.dat"));
  EXPECT_FALSE(Exists("DLBlockedCookies.dat"));
  EXPECT_TRUE(Exists("DLDirectoryDefinition.dat"));
  EXPECT_FALSE(Exists("DirectoryDefinition.dat"));

  // A second start without downloads changes nothing.
  engine::InstallDownloadedDefinitions(app());
  EXPECT_EQ(Read("FileDefinition.dat"), "new file lines");
  EXPECT_EQ(Read("BlockedCookies.dat"), "new cookie lines");
}

// Each flush as "<file or folder> / <what the live file held then>".
std::vector<std::string> flushes;
std::filesystem::path live_file;

int RecordFlush(int fd) {
  struct stat st {};
  fstat(fd, &st);
  std::ifstream in(live_file, std::ios::binary);
  flushes.push_back((S_ISDIR(st.st_mode) ? "folder / " : "file / ") +
                    std::string(std::istreambuf_iterator<char>(in), {}));
  return 0;
}

TEST_F(DefinitionSetTest, InstalledDownloadIsOnTheDiskBeforeItsNameAndTheNameAfter) {
  Write("FileDefinition.dat", "old");
  Write("DLFileDefinition.dat", "new");
  live_file = fixture_.temp.host(kFolder + "FileDefinition.dat");
  const machine::FlushFunction real = machine::SetFlushFunction(&RecordFlush);
  engine::InstallDownloadedDefinitions(app());
  machine::SetFlushFunction(real);
  EXPECT_EQ(flushes, (std::vector<std::string>{"file / old", "folder / new"}));
}

TEST_F(DefinitionSetTest, ReplacementThatCannotBeInstalledLosesNothing) {
  // A folder where the live file should be: the rename fails, and both stay as they were.
  ASSERT_TRUE(files().CreateFolder(kFolder + "RegistryDefinition.dat"));
  Write("RegistryDefinition.dat\\keep.txt", "kept");
  Write("DLRegistryDefinition.dat", "downloaded");
  engine::InstallDownloadedDefinitions(app());
  EXPECT_EQ(Read("DLRegistryDefinition.dat"), "downloaded");
  EXPECT_EQ(Read("RegistryDefinition.dat\\keep.txt"), "kept");
}

TEST_F(DefinitionSetTest, InstallingReloadsTheIgnoreList) {
  Write("ENoSignature.txt", "C:\\x.exe\r\n");
  engine::InstallDownloadedDefinitions(app());
  EXPECT_EQ(app().definitions.strIgnoreList, "C:\\x.exe|");
}

}  // namespace
