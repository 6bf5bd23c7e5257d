// Merging an update package into the definition files.

#include "engine/definitions/update_merge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "liveupdate/definition_files.h"
#include "machine/whole_file_read.h"
#include "model/app.h"
#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;
using hg_test::Item;
using hg_test::Package;
using hg_test::StoredFile;

constexpr const char* kFile = "FileDefinition.dat";
constexpr const char* kExe = "ExeDefinition.dat";
constexpr const char* kReg = "RegistryDefinition.dat";
constexpr const char* kCook = "BlockedCookies.dat";
constexpr const char* kDir = "DirectoryDefinition.dat";

using Files = std::map<std::string, std::string>;

std::string ProgramFile(AppFixture& h, const std::string& name) {
  return h.machine().profile().program_folder + "\\" + name;
}

Files ReadAll(AppFixture& h) {
  Files files;
  for (const char* name : {kFile, kExe, kReg, kCook, kDir}) {
    if (auto content = h.machine().files().ReadFile(ProgramFile(h, name)))
      files[name] = *content;
  }
  return files;
}

struct MergeCase {
  const char* name;
  Files before;
  std::string package;
  int32_t count;
  Files changed;  // files not listed keep their content
};

class MergeCases : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCases, AppliesInPackageOrder) {
  const MergeCase& c = GetParam();
  AppFixture h;
  for (const auto& [name, content] : c.before)
    h.WriteProgramFile(name, content);
  // After any merge all five files exist.
  Files expected = {{kFile, ""}, {kExe, ""}, {kReg, ""}, {kCook, ""}, {kDir, ""}};
  for (const auto& [name, content] : c.before)
    expected[name] = content;
  for (const auto& [name, content] : c.changed)
    expected[name] = content;

  const engine::UpdateMergeResult result = engine::ApplyDefinitionUpdate(h.app(), c.package);

  EXPECT_EQ(result.count, c.count);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(ReadAll(h), expected);
}

const std::string kNoLineEnd = services::EncodeText("a=1");

INSTANTIATE_TEST_SUITE_P(
    UpdateMerge, MergeCases,
    testing::Values(
        MergeCase{"ExeAddWritesToFileAndExeDefinitions",
                  {{kFile, StoredFile({"a=1"})}},
                  Item("EXE", "ADD", "c:\\bad.exe=Bad|1"),
                  2,
                  {{kFile, StoredFile({"a=1", "c:\\bad.exe=Bad|1"})},
                   {kExe, StoredFile({"c:\\bad.exe=Bad|1"})}}},
        MergeCase{"DelRemovesEveryLineOfItsNameIgnoringCaseAndCountsOncePerFile",
                  {{kFile, StoredFile({"Bad=1", "good=2", "BAD=3"})}},
                  Package({Item("FILE", "DEL", "bad=x"), Item("FILE", "DEL", "none")}),
                  1,
                  {{kFile, StoredFile({"good=2"})}}},
        MergeCase{"DelThenAddKeepsOnlyTheAddedLine",
                  {{kFile, StoredFile({"x=old", "y=1"})}},
                  Package({Item("FILE", "DEL", "x"), Item("FILE", "ADD", "X=new")}),
                  2,
                  {{kFile, StoredFile({"y=1", "X=new"})}}},
        MergeCase{"AddThenDelRemovesBoth",
                  {{kFile, StoredFile({"x=old", "y=1"})}},
                  Package({Item("FILE", "ADD", "x=new"), Item("FILE", "DEL", "X")}),
                  2,
                  {{kFile, StoredFile({"y=1"})}}},
        MergeCase{"BlankLinesGoInADelPass",
                  {{kDir, "\r\n \r\n" + StoredFile({"a=1", "b=2"}) + "\r\n"}},
                  Item("DIR", "DEL", "b"),
                  1,
                  {{kDir, StoredFile({"a=1"})}}},
        MergeCase{"LinesOfBlanksGoInADelPass",
                  {{kDir, "  \r\n" + StoredFile({"a=1", "b=2"})}},
                  Item("DIR", "DEL", "b"),
                  1,
                  {{kDir, StoredFile({"a=1"})}}},
        MergeCase{"MissingFilesAreMadeSoTheSetIsWhole",
                  {{kFile, StoredFile({"a=1"})}},
                  Item("FILE", "ADD", "b=2"),
                  1,
                  {{kFile, StoredFile({"a=1", "b=2"})}}},
        // As when a merge stopped after putting FileDefinition.dat and ExeDefinition.dat in place.
        MergeCase{"PackageAppliedAgainChangesNothing",
                  {{kFile, StoredFile({"y=1", "X=new", "e=1"})}, {kExe, StoredFile({"e=1"})}},
                  Package({Item("FILE", "DEL", "x"), Item("FILE", "ADD", "X=new"),
                           Item("EXE", "ADD", "e=1")}),
                  4,
                  {}},
        // The codec makes a lone LF of "\xC9".
        MergeCase{"LoneCrOrLfInDataIsText",
                  {},
                  Item("FILE", "ADD", "c:\\\xC9vil.exe=Evil|1") + "[BR]" +
                      Item("COOK", "ADD",
                           "\xCC"
                           "ads.example=x"),
                  2,
                  {{kFile, StoredFile({"c:\\\xC9vil.exe=Evil|1"})},
                   {kCook, StoredFile({"\xCC"
                                       "ads.example"})}}},
        MergeCase{"EveryKindLandsInItsFileAndLowerCaseSeparates",
                  {},
                  Item("FILE", "ADD", "f=F") + "[br]" + Item("DLL", "ADD", "d=D") + "[BR]" +
                      Item("REG", "ADD", "k=Threat|2^SOFTWARE\\Bad^Run|Value") + "[Br]" +
                      Item("COOK", "ADD", "ads.example=Tracker") + "[BR]" +
                      Item("DIR", "ADD", "[windir]\\bad=Bad"),
                  5,
                  {{kFile, StoredFile({"f=F", "d=D"})},
                   {kReg, StoredFile({"2^SOFTWARE\\Bad^Run^=Threat|Value"})},
                   {kCook, StoredFile({"ads.example"})},
                   {kDir, StoredFile({"[windir]\\bad=Bad"})}}},
        MergeCase{
            "MalformedItemsAreSkippedUncounted",
            {{kFile, StoredFile({"a=1"})}},
            Package({"FILE|ADD" + services::EncodeText("no-marker"),
                     services::EncodeText("FILE") + "ADD[DEF]" + services::EncodeText("x"),
                     Item("REG", "ADD", "k=no parts"), Item("FILE", "MOD", "m=1"),
                     Item("DISK", "ADD", "d=1"), Item("FILE", "ADD", "crlf=") + "\r\n",
                     Item("FILE", "ADD", "crlf=") + "\r\nstray", Item("FILE", "DEL", "a=") + "\r\n",
                     Item("FILE", "ADD", "nul=") + std::string(1, '\0')}),
            0,
            {}},
        MergeCase{"NothingApplicableWithEveryFilePresentIsNoFailure",
                  {{kFile, StoredFile({"a=1"})}, {kExe, ""}, {kReg, ""}, {kCook, ""}, {kDir, ""}},
                  Item("FILE", "MOD", "m=1"),
                  0,
                  {}},
        // Lines of one name are told apart whole: each added line once, where its last ADD is.
        MergeCase{"LinesOfOneNameAreEachTheirOwn",
                  {{kFile, StoredFile({"same=old", "same=kept", "other=1"})}},
                  Package({Item("FILE", "ADD", "same=1"), Item("FILE", "ADD", "same=kept"),
                           Item("FILE", "ADD", "SAME=1"), Item("FILE", "ADD", "same=1"),
                           Item("FILE", "ADD", "same=2")}),
                  5,
                  {{kFile, StoredFile({"same=old", "other=1", "same=kept", "SAME=1", "same=1",
                                       "same=2"})}}},
        MergeCase{"MissingLastLineEndIsAddedBeforeAppending",
                  {{kFile, kNoLineEnd}},
                  Item("FILE", "ADD", "b=2"),
                  1,
                  {{kFile, StoredFile({"a=1", "b=2"})}}}),
    [](const testing::TestParamInfo<MergeCase>& param) { return std::string(param.param.name); });

TEST(UpdateMerge, PackageThatIsNotTextMergesNothingItCannotRead) {
  AppFixture h;
  h.WriteProgramFile(kFile, StoredFile({"a=1"}));
  std::string package = Item("FILE", "ADD", "nul=") + std::string(1, '\0') + "[BR]";
  package += std::string(50 << 20, 'x');
  package += "[BR]" + Item("FILE", "ADD", "b=2");

  const engine::UpdateMergeResult result = engine::ApplyDefinitionUpdate(h.app(), package);

  EXPECT_EQ(result.count, 1);
  EXPECT_EQ(ReadAll(h)[kFile], StoredFile({"a=1", "b=2"}));
}

TEST(UpdateMerge, ShowsProgressAndYieldsWhileTheDownloadWindowIsOpen) {
  AppFixture h;
  std::vector<std::string> lines;
  for (int i = 0; i < 250; ++i)
    lines.push_back("line" + std::to_string(i) + "=x");
  h.WriteProgramFile(kFile, StoredFile(lines));
  h.app().frmDownload->Show();
  std::vector<std::string> at_yields;
  h.app().system.yield = [&] { at_yields.push_back(h.app().frmDownload->txtStatus.Text()); };

  engine::ApplyDefinitionUpdate(h.app(), Item("FILE", "DEL", "line7"));

  const std::string applying = "Applying new updates...";
  EXPECT_EQ(at_yields,
            (std::vector<std::string>{applying, "Removing outdated definitions: checking entry 100",
                                      "Removing outdated definitions: checking entry 200", applying,
                                      applying, applying, applying}));
}

TEST(UpdateMerge, ClosedDownloadWindowStaysClosed) {
  AppFixture h;
  h.app().frmDownload->Show();
  h.app().frmDownload.Unload();

  engine::ApplyDefinitionUpdate(h.app(), Item("FILE", "ADD", "a=1"));

  EXPECT_FALSE(h.app().frmDownload.Loaded());
}

TEST(UpdateMerge, StaleScratchFileNeverLeaksIn) {
  AppFixture h;
  h.WriteProgramFile(kFile, StoredFile({"a=1", "b=2"}));
  h.WriteProgramFile("temp.dat", StoredFile({"stale=1"}));

  engine::ApplyDefinitionUpdate(h.app(), Item("FILE", "DEL", "b"));

  EXPECT_EQ(ReadAll(h)[kFile], StoredFile({"a=1"}));
  EXPECT_FALSE(h.machine().files().FileExists(ProgramFile(h, "temp.dat")));
}

TEST(UpdateMerge, FileThatCannotBeReplacedStaysAsItWasAndFailsTheMerge) {
  AppFixture h;
  // A link in place of the file: writes never follow it.
  h.WriteProgramFile("elsewhere.dat", StoredFile({"a=1"}));
  std::filesystem::create_symlink("elsewhere.dat", h.temp.host(ProgramFile(h, kFile)));

  const engine::UpdateMergeResult result =
      engine::ApplyDefinitionUpdate(h.app(), Item("EXE", "ADD", "e=1"));

  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.count, 0);
  EXPECT_EQ(h.machine().files().ReadFile(ProgramFile(h, "elsewhere.dat")), StoredFile({"a=1"}));
  EXPECT_EQ(ReadAll(h), (Files{{kFile, StoredFile({"a=1"})}}));  // no ExeDefinition.dat either
}

TEST(UpdateMerge, FileThatWouldOutgrowWhatIsReadFailsTheMergeAndChangesNothing) {
  AppFixture h;
  const std::filesystem::path file = h.temp.host(ProgramFile(h, kFile));
  h.WriteProgramFile(kFile, "");
  std::filesystem::resize_file(file, machine::ReadCap::kDefinitionFile - 4);

  const engine::UpdateMergeResult result = engine::ApplyDefinitionUpdate(
      h.app(), Package({Item("DIR", "ADD", "d=1"), Item("FILE", "ADD", "b=2")}));

  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.count, 0);
  EXPECT_EQ(std::filesystem::file_size(file), machine::ReadCap::kDefinitionFile - 4);
  EXPECT_FALSE(h.machine().files().FileExists(ProgramFile(h, kDir)));
}

}  // namespace
