#include "engine/scan/file_stages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/definition_line.h"
#include "model/result_rows.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "version_resource.h"

namespace {

using model::ThreatIconKind;

const std::string kProgramFolder = "C:\\Program Files\\Hearthguard\\";

std::string Encoded(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += services::EncodeText(line) + "\r\n";
  return text;
}

class FileStagesTest : public ::testing::Test {
 protected:
  void WriteDefinitions(const std::vector<std::string>& file_lines,
                        const std::vector<std::string>& folder_lines) {
    fixture_.temp.WriteFile(kProgramFolder + "FileDefinition.dat", Encoded(file_lines));
    fixture_.temp.WriteFile(kProgramFolder + "DirectoryDefinition.dat", Encoded(folder_lines));
    model::DefinitionsState& counts = app().definitions;
    counts.lngFileDefinitionCount = static_cast<int32_t>(file_lines.size() + folder_lines.size());
    counts.lngTotalDefinitions = counts.lngFileDefinitionCount;
  }

  void RunBothStages() {
    app().frmMain.lbltracesFound.SetCaption("0");
    app().scan.strScanPhaseCaption = "Scanning Known Spyware/Adware: ";
    engine::ScanFileDefinitions(app());
    engine::ScanDirectoryDefinitions(app());
  }

  std::vector<std::pair<std::string, ThreatIconKind>> ScanLog() {
    std::vector<std::pair<std::string, ThreatIconKind>> rows;
    model::RowView<model::ScanLogRow> log(app().frmMain.lvwSpywareFound);
    for (int i = 0; i < log.Count(); ++i)
      rows.emplace_back(log[i].message, log[i].icon);
    return rows;
  }
  std::vector<std::pair<std::string, std::string>> Targets() {
    std::vector<std::pair<std::string, std::string>> rows;
    model::RowView<model::FileTargetRow> targets(app().frmMain.lvwFilesToBeDeleted);
    for (int i = 0; i < targets.Count(); ++i)
      rows.emplace_back(targets[i].path, targets[i].threat_name);
    return rows;
  }
  std::vector<model::ThreatRow> Threats() {
    std::vector<model::ThreatRow> rows;
    model::RowView<model::ThreatRow> threats(
        app().frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    for (int i = 0; i < threats.Count(); ++i)
      rows.push_back(threats[i]);
    return rows;
  }

  model::App& app() { return fixture_.app(); }
  hg_test::TempMachine& temp() { return fixture_.temp; }

  hg_test::AppFixture fixture_;
};

TEST_F(FileStagesTest, PlantedTree) {
  // Host spellings differ in letter case from the definitions.
  temp().WriteFile("C:\\WINDOWS\\acme\\AcmeBar.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\system32\\AcmeHelp.EXE", "x");
  temp().WriteFile("C:\\WINDOWS\\system32\\.hidden.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\system32\\mscomp.dll",
                   hg_test::FileWithCompany("  microsoft CORPORATION "));
  temp().WriteFile("C:\\WINDOWS\\system32\\excluded.dll",
                   hg_test::FileWithCompany("Microsoft Corporation"));
  temp().WriteFile("C:\\WINDOWS\\decoy.dll", "x");
  temp().WriteFile("C:\\rootfile.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\system32\\orphan.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\system32\\vendor.dll", hg_test::FileWithCompany("Acme Inc."));
  temp().MakeFolder("C:\\Program Files\\Acme SearchBar");
  temp().MakeFolder("C:\\Documents and Settings\\All Users\\Application Data\\EvilDialer");
  temp().MakeFolder("C:\\Documents and Settings\\Owner\\Application Data\\Excl");
  temp().WriteFile(kProgramFolder + "ENoSignature.txt",
                   "C:\\WINDOWS\\SYSTEM32\\EXCLUDED.DLL\r\n"
                   "C:\\Documents and Settings\\Owner\\Application Data\\Excl\\x.dat\r\n");
  engine::LoadIgnoreList(app());

  WriteDefinitions(
      {
          "ACMEBAR.DLL=Acme SearchBar|[windir]\\Acme|Toolbar",
          " acmehelp.exe =Acme SearchBar|[system]|Helper",
          ".hidden.dll=Hidden Threat|[system]",
          "mscomp.dll=Fake Company|[system]",
          "excluded.dll=Excluded Threat|[system]",
          "missing.dll=Missing Threat|[windir]",
          "rootfile.dll=Root Threat|[drive]",
          "rootfile.dll=Capital Drive Threat|[Drive]",
          "decoy.dll=Recycle Threat|[recycle][windir]",
          "orphan.dll|[system]",
          "vendor.dll=Vendor Threat|[system]",
          "nofolder.dll=Bare Threat",
      },
      {
          "Acme Folder=Acme SearchBar|[progfil]\\ACME SEARCHBAR",
          "Evil\tFolder=Evil Dialer|[comapp]\\EvilDialer|Dialer",
          "Excl Folder=Excluded Folder|[appdata]\\Excl",
          "No Folder=No Folder Threat",
          "Bin=Recycle Folder|[recycle]",
          "Gone=Gone Folder|[windir]\\NotThere",
      });
  RunBothStages();

  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"Acme SearchBar - Found", ThreatIconKind::kFile},
      {"EXCLUDED: C:\\WINDOWS\\system32\\excluded.dll", ThreatIconKind::kExcluded},
      {"Root Threat - Found", ThreatIconKind::kFile},
      {"Vendor Threat - Found", ThreatIconKind::kFile},
      {"Evil Dialer - Found", ThreatIconKind::kFolder},
      {"EXCLUDED: C:\\Documents and Settings\\Owner\\Application Data\\Excl",
       ThreatIconKind::kExcluded},
  };
  EXPECT_EQ(ScanLog(), expected_log);

  const std::vector<std::pair<std::string, std::string>> expected_targets = {
      {"C:\\WINDOWS\\Acme\\ACMEBAR.DLL", "Acme SearchBar"},
      {"C:\\WINDOWS\\system32\\acmehelp.exe", "Acme SearchBar"},
      {"C:\\rootfile.dll", "Root Threat"},
      {"C:\\WINDOWS\\system32\\vendor.dll", "Vendor Threat"},
      {"C:\\Program Files\\ACME SEARCHBAR", "Acme SearchBar"},
      {"C:\\Documents and Settings\\All Users\\Application Data\\EvilDialer", "Evil Dialer"},
  };
  EXPECT_EQ(Targets(), expected_targets);

  const std::vector<model::ThreatRow> threats = Threats();
  ASSERT_EQ(threats.size(), 4u);
  EXPECT_EQ(threats[0].name, "Acme SearchBar");
  EXPECT_EQ(threats[0].location, "C:\\WINDOWS\\Acme\\ACMEBAR.DLL");
  EXPECT_EQ(threats[0].type, "Toolbar");
  EXPECT_EQ(threats[0].icon, ThreatIconKind::kFile);
  EXPECT_FALSE(threats[0].checked);
  EXPECT_EQ(threats[1].name, "Root Threat");
  EXPECT_EQ(threats[1].type, "");  // the line before had a type; this one has none
  EXPECT_EQ(threats[3].name, "Evil Dialer");
  EXPECT_EQ(threats[3].type, "Dialer");
  EXPECT_EQ(threats[3].icon, ThreatIconKind::kFolder);

  EXPECT_EQ(app().frmMain.lbltracesFound.Caption(), "6");
  EXPECT_EQ(app().scan.lngThreatsFound, 4);
  // Every file line counts; folder lines only when their folder can be placed here.
  EXPECT_EQ(app().scan.lngFilesFoldersInspected, 12 + 4);
}

// "\xC9" is stored as a bare LF and must not split its line; a line whose threat name is empty
// still names a file to look for.
TEST_F(FileStagesTest, StoredLineBreakCharactersAndEmptyThreatNames) {
  temp().WriteFile("C:\\WINDOWS\\toolbar.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\blank.dll", "x");
  WriteDefinitions({"toolbar.dll=\xC9"
                    "diteur Toolbar|[windir]",
                    "blank.dll=|[windir]"},
                   {});
  RunBothStages();
  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"\xC9"
       "diteur Toolbar - Found",
       ThreatIconKind::kFile},
      {" - Found", ThreatIconKind::kFile},
  };
  EXPECT_EQ(ScanLog(), expected_log);
  EXPECT_EQ(Targets().size(), 2u);
  EXPECT_EQ(app().scan.lngFilesFoldersInspected, 2);
}

TEST_F(FileStagesTest, ThreatListedByAnEarlierStageGetsNoSecondRow) {
  temp().WriteFile("C:\\WINDOWS\\a.dll", "x");
  model::RowView<model::ScanLogRow>(app().frmMain.lvwSpywareFound)
      .Add({"acme searchbar - Found", ThreatIconKind::kRegistry});
  WriteDefinitions({"a.dll=Acme SearchBar|[windir]"}, {});
  RunBothStages();
  EXPECT_EQ(Targets().size(), 1u);
  EXPECT_TRUE(Threats().empty());
  EXPECT_EQ(app().scan.lngThreatsFound, 0);
}

TEST_F(FileStagesTest, ScanLogChangedDuringTheStageIsSearchedAgain) {
  temp().WriteFile("C:\\WINDOWS\\a.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\b.dll", "x");
  WriteDefinitions({"a.dll=Acme|[windir]", "b.dll=Acme|[windir]"}, {});
  // While the stage yields after its first line, the log's rows are replaced.
  fixture_.backend.AtYield(1, "replace the log", [&] {
    forms::ListView& log = app().frmMain.lvwSpywareFound;
    log.Clear();
    log.AddItem("Other - Found", 3);
  });
  RunBothStages();
  EXPECT_EQ(app().frmMain.lvwSpywareFound.Count(), 2);
  EXPECT_EQ(Threats().size(), 2u);
  EXPECT_EQ(app().scan.lngThreatsFound, 2);
}

TEST_F(FileStagesTest, StopDuringTheFileStageEndsTheFolderStageAtItsFirstLine) {
  temp().WriteFile("C:\\WINDOWS\\a.dll", "x");
  temp().WriteFile("C:\\WINDOWS\\b.dll", "x");
  temp().MakeFolder("C:\\WINDOWS\\Evil");
  WriteDefinitions({"a.dll=A|[windir]", "b.dll=B|[windir]"}, {"Evil=Evil|[windir]\\Evil"});
  fixture_.backend.AtYield(1, "stop", [&] { app().scan.bStopScan = true; });
  RunBothStages();
  EXPECT_EQ(app().scan.lngFilesFoldersInspected, 1);
  EXPECT_EQ(Targets().size(), 1u);
  EXPECT_EQ(Threats().size(), 1u);
}

TEST_F(FileStagesTest, MissingDefinitionFilesFindNothing) {
  RunBothStages();
  EXPECT_EQ(app().scan.lngFilesFoldersInspected, 0);
  EXPECT_EQ(app().frmMain.lvwSpywareFound.Count(), 0);
}

// Folder texts that share their tokens are expanded once for all of them; each must still come
// out as its own full expansion would, double backslashes on either side of the tokens included.
TEST_F(FileStagesTest, FolderTextsSharingTokensExpandAsEachAlone) {
  const std::vector<std::string> folders = {
      "[windir]\\Sub",       "[windir]\\\\Sub",         "[windir]\\Sub\\\\Deep", "[WINDIR]Sub",
      "[drive]WINDOWS\\Sub", "[drive]\\\\WINDOWS\\Sub", "C:\\\\WINDOWS\\Sub",    "[windir]]\\Sub",
  };
  std::vector<std::string> lines;
  std::vector<std::pair<std::string, std::string>> expected;
  for (size_t i = 0; i < folders.size(); ++i) {
    std::string folder;
    ASSERT_TRUE(engine::ExpandDefinitionFolder(app().system, folders[i], "C:\\", folder))
        << folders[i];
    const std::string name = "f" + std::to_string(i) + ".dll";
    const std::string path = engine::CollapseDoubleBackslashes(folder + "\\" + name);
    temp().WriteFile(path, "x");
    lines.push_back(name + "=T" + std::to_string(i) + "|" + folders[i]);
    expected.emplace_back(path, "T" + std::to_string(i));
  }
  WriteDefinitions(lines, {});
  RunBothStages();
  EXPECT_EQ(Targets(), expected);
}

// The count of traces found goes on from whatever the label shows when a find is added.
TEST_F(FileStagesTest, TracesFoundCountsOnFromTheLabel) {
  for (const char* name : {"a.dll", "b.dll", "c.dll", "d.dll"})
    temp().WriteFile(std::string("C:\\WINDOWS\\") + name, "x");
  WriteDefinitions({"a.dll=A|[windir]", "b.dll=A|[windir]", "c.dll=A|[windir]", "d.dll=A|[windir]"},
                   {});
  forms::Label& label = app().frmMain.lbltracesFound;
  std::string shown_before_text;
  fixture_.backend.AtYield(2, "someone sets the count", [&] { label.SetCaption("10"); });
  fixture_.backend.AtYield(3, "someone sets a text", [&] {
    shown_before_text = label.Caption();
    label.SetCaption("many");
  });
  RunBothStages();
  EXPECT_EQ(Targets().size(), 4u);
  EXPECT_EQ(shown_before_text, "11");
  EXPECT_EQ(label.Caption(), "many");  // not a number: left as it is
}

TEST_F(FileStagesTest, ExpandDefinitionFolder) {
  struct Case {
    const char* folder;
    bool ok;
    const char* expanded;
  };
  const Case cases[] = {
      {"[windir]\\sub", true, "C:\\WINDOWS\\sub"}, {"[WINDIR]", true, "C:\\WINDOWS\\"},
      {"[drive]Temp", true, "C:\\Temp"},           {"[drive]\\Temp", true, "C:\\Temp"},
      {"[Drive]Temp", true, "[Drive]Temp"},        {"[recycle]", false, ""},
  };
  for (const Case& c : cases) {
    std::string expanded;
    EXPECT_EQ(engine::ExpandDefinitionFolder(app().system, c.folder, "C:\\", expanded), c.ok)
        << c.folder;
    if (c.ok) {
      EXPECT_EQ(expanded, c.expanded) << c.folder;
    }
  }
}

}  // namespace
