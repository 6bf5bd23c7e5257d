#include "engine/scan/registry_stage.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/file_stages.h"
#include "engine/scan/registry_definition_line.h"
#include "engine/scan/scan_log_index.h"
#include "machine/registry_import.h"
#include "model/result_rows.h"
#include "services/registry_related.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"

namespace {

using model::ThreatIconKind;
using namespace std::string_literals;

const std::string kProgramFolder = "C:\\Program Files\\Hearthguard\\";

std::string Encoded(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += services::EncodeText(line) + "\r\n";
  return text;
}

std::string Handle(machine::RegHandle root) {
  return std::to_string(root);
}

class RegistryStageTest : public ::testing::Test {
 protected:
  void Import(const std::string& regedit4) {
    std::string error;
    ASSERT_TRUE(
        machine::ImportRegedit4(fixture_.machine().registry(), "REGEDIT4\n" + regedit4, error))
        << error;
  }

  void WriteDefinitions(const std::vector<std::string>& lines) {
    fixture_.temp.WriteFile(kProgramFolder + "RegistryDefinition.dat", Encoded(lines));
    model::DefinitionsState& counts = app().definitions;
    counts.lngRegistryDefinitionCount = static_cast<int32_t>(lines.size());
    counts.lngTotalDefinitions = counts.lngRegistryDefinitionCount;
  }

  void Exclude(const std::string& entries) {
    fixture_.temp.WriteFile(kProgramFolder + "ENoSignature.txt", entries);
    ASSERT_TRUE(engine::LoadIgnoreList(app()));
  }

  void Run() {
    app().frmMain.lbltracesFound.SetCaption("0");
    app().scan.strScanPhaseCaption = "Scanning Registry: ";
    engine::ScanRegistryDefinitions(app());
  }

  std::vector<std::pair<std::string, ThreatIconKind>> ScanLog() {
    std::vector<std::pair<std::string, ThreatIconKind>> rows;
    model::RowView<model::ScanLogRow> log(app().frmMain.lvwSpywareFound);
    for (int i = 0; i < log.Count(); ++i)
      rows.emplace_back(log[i].message, log[i].icon);
    return rows;
  }
  std::vector<std::vector<std::string>> Targets() {
    std::vector<std::vector<std::string>> rows;
    model::RowView<model::RegistryTargetRow> targets(app().frmMain.lvwRegistryToBeDeleted);
    for (int i = 0; i < targets.Count(); ++i) {
      const model::RegistryTargetRow row = targets[i];
      EXPECT_FALSE(row.checked);
      rows.push_back({row.main_key, row.key_path, row.value_name, row.threat_name});
    }
    return rows;
  }
  std::vector<std::vector<std::string>> Threats() {
    std::vector<std::vector<std::string>> rows;
    model::RowView<model::ThreatRow> threats(
        app().frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    for (int i = 0; i < threats.Count(); ++i) {
      const model::ThreatRow row = threats[i];
      EXPECT_EQ(row.icon, ThreatIconKind::kRegistry);
      EXPECT_FALSE(row.checked);
      rows.push_back({row.name, row.location, row.type});
    }
    return rows;
  }

  model::App& app() { return fixture_.app(); }

  hg_test::AppFixture fixture_;
};

TEST_F(RegistryStageTest, KeysAndValuesFoundUnderEachRootCode) {
  Import(
      "[HKEY_CLASSES_ROOT\\CLSID\\{Acme}]\n"
      "[HKEY_CURRENT_USER\\Software\\Acme]\n\"Bar\"=\"1\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme]\n"
      "[HKEY_USERS\\.DEFAULT\\Software\\Acme]\n\"Bar\"=\"1\"\n"
      "[HKEY_CURRENT_CONFIG\\Software\\Acme]\n"
      "[HKEY_DYN_DATA\\Acme]\n\"Bar\"=\"1\"\n");
  WriteDefinitions({
      "0^CLSID\\{acme}^=Root0",
      "1^software\\acme^bar^=Root1",
      " 2 ^SOFTWARE\\Acme^=Root2",
      "3^.DEFAULT\\Software\\Acme^Bar=Root3",
      "4^Software\\Acme^=Root4",
      "5^Acme^Bar^=Root5",
  });
  Run();

  const std::vector<std::vector<std::string>> expected_targets = {
      {Handle(machine::kHkeyClassesRoot), "CLSID\\{acme}", "", "Root0"},
      {Handle(machine::kHkeyCurrentUser), "software\\acme", "bar", "Root1"},
      {Handle(machine::kHkeyLocalMachine), "SOFTWARE\\Acme", "", "Root2"},
      {Handle(machine::kHkeyUsers), ".DEFAULT\\Software\\Acme", "Bar", "Root3"},
      {Handle(machine::kHkeyCurrentConfig), "Software\\Acme", "", "Root4"},
      {Handle(machine::kHkeyDynData), "Acme", "Bar", "Root5"},
  };
  EXPECT_EQ(Targets(), expected_targets);
  EXPECT_EQ(Handle(machine::kHkeyCurrentConfig), "-2147483643");

  const std::vector<std::vector<std::string>> expected_threats = {
      {"Root0", "HKEY_CLASSES_ROOT\\CLSID\\{acme}", ""},
      {"Root1", "HKEY_CURRENT_USER\\software\\acmebar", ""},
      {"Root2", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme", ""},
      {"Root3", "HKEY_USERS\\.DEFAULT\\Software\\AcmeBar", ""},
      {"Root4", "HKEY_CURRENT_CONFIG\\Software\\Acme", ""},
      {"Root5", "HKEY_DYN_DATA\\AcmeBar", ""},
  };
  EXPECT_EQ(Threats(), expected_threats);
  EXPECT_EQ(ScanLog().front(),
            std::make_pair(std::string("Root0 - Found"), ThreatIconKind::kRegistry));
  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 6);
  EXPECT_EQ(app().scan.lngThreatsFound, 6);
  EXPECT_EQ(app().frmMain.lbltracesFound.Caption(), "6");
  EXPECT_EQ(app().system.strRootKeyName, "HKEY_DYN_DATA");
}

TEST_F(RegistryStageTest, ValuesOfEveryTypeAreFound) {
  Import(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Typed]\n"
      "\"Sz\"=\"text\"\n"
      "\"EmptySz\"=\"\"\n"
      "\"Expand\"=hex(2):25,00\n"
      "\"Binary\"=hex:01,02\n"
      "\"Dword\"=dword:0000000a\n"
      "\"Multi\"=hex(7):61,00,00\n"
      "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
      "\"None\"=hex(0):\n"
      "@=\"default\"\n");
  const std::vector<std::string> names = {"Sz",    "EmptySz", "Expand", "Binary",
                                          "Dword", "Multi",   "Qword",  "None"};
  std::vector<std::string> lines;
  for (const std::string& name : names)
    lines.push_back("2^SOFTWARE\\Typed^" + name + "^=Typed " + name);
  lines.push_back("2^SOFTWARE\\Typed^Absent^=Typed Absent");
  WriteDefinitions(lines);
  Run();

  const std::vector<std::vector<std::string>> targets = Targets();
  ASSERT_EQ(targets.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(targets[i][2], names[i]);
  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 9);
}

TEST_F(RegistryStageTest, PlantedRegistry) {
  Import(
      "[HKEY_LOCAL_MACHINE\\Software\\X]\n\"Run\"=\"evil.exe\"\n\"Other\"=dword:1\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Y]\n\"Helper\"=\"y.exe\"\n"
      "[HKEY_CURRENT_USER\\Software\\Nameless]\n\"V\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\Software\\Excluded Key]\n\"V\"=\"1\"\n"
      "[HKEY_CURRENT_USER\\Software\\Partly]\n\"Keep\"=\"1\"\n\"Skip\"=\"1\"\n"
      "[HKEY_CLASSES_ROOT\\a=b]\n");
  Exclude(
      "HKEY_CURRENT_USER\\Software\\Excluded Key\r\n"
      "hkey_current_user\\software\\partlySkip\r\n");
  WriteDefinitions({
      "2^Software\\X^Run^=  Thing|Adware  ",     // value line with a type
      "2^Software\\X^Other=Thing",               // same threat: target only
      "2^Software\\Y=Plain Threat",              // whole key, new threat without a type
      "2^Software\\Y^Missing^=Missing Value",    // value absent
      "2^Software\\Absent^=Missing Key",         // key absent
      "1^Software\\Nameless^=",                  // whole key, no threat name
      "1^Software\\Nameless^V^=  |Orphan Type",  // value, no threat name
      "1^Software\\Excluded Key^=Excluded",      // key on the ignore list
      "1^Software\\Excluded Key^V^=Excluded",    // ... and so each of its values
      "1^Software\\Partly^Keep^=Partly",         // value of a key with one excluded value
      "1^Software\\Partly^Skip^=Partly",         // the excluded value
      "0^a=b^=Equals In Key",                    // the threat follows the last "="
      "6^Software\\X^=Root Six",                 // no such root: not counted
      "x^Software\\X^=Letter Root",              // not a number: not counted
      "^Software\\X^=Empty Root",                // empty code: not counted
      "2^^Run^=Empty Key",                       // empty key path: not counted
      "2^  ^=Blank Key",                         // blank key path: not counted
      "2^Software\\X^Run",                       // no "=": not counted
      "1^Software\0Nameless^=Nul In Key"s,       // a NUL in a name: not counted
      "1^Software\\Partly^Keep\0x^=Nul In Value"s,
  });
  Run();

  const std::string hklm = Handle(machine::kHkeyLocalMachine);
  const std::string hkcu = Handle(machine::kHkeyCurrentUser);
  const std::vector<std::pair<std::string, ThreatIconKind>> expected_log = {
      {"Thing - Found", ThreatIconKind::kRegistry},
      {"Plain Threat - Found", ThreatIconKind::kRegistry},
      {"RegKey Software\\Nameless - Found", ThreatIconKind::kNone},
      {"RegKey " + hkcu + " - Found", ThreatIconKind::kNone},
      {"EXCLUDED: HKEY_CURRENT_USER\\Software\\Excluded Key", ThreatIconKind::kExcluded},
      {"EXCLUDED: HKEY_CURRENT_USER\\Software\\Excluded KeyV", ThreatIconKind::kExcluded},
      {"Partly - Found", ThreatIconKind::kRegistry},
      {"EXCLUDED: HKEY_CURRENT_USER\\Software\\PartlySkip", ThreatIconKind::kExcluded},
      {"Equals In Key - Found", ThreatIconKind::kRegistry},
  };
  EXPECT_EQ(ScanLog(), expected_log);

  const std::vector<std::vector<std::string>> expected_targets = {
      {hklm, "Software\\X", "Run", "Thing"},
      {hklm, "Software\\X", "Other", "Thing"},
      {hklm, "Software\\Y", "", "Plain Threat"},
      {hkcu, "Software\\Nameless", "", ""},
      {hkcu, "Software\\Nameless", "V", ""},
      {hkcu, "Software\\Partly", "Keep", "Partly"},
      {Handle(machine::kHkeyClassesRoot), "a=b", "", "Equals In Key"},
  };
  EXPECT_EQ(Targets(), expected_targets);

  const std::vector<std::vector<std::string>> expected_threats = {
      {"Thing", "HKEY_LOCAL_MACHINE\\Software\\XRun", "Adware"},
      {"Plain Threat", "HKEY_LOCAL_MACHINE\\Software\\Y", ""},
      {"Software\\Nameless", "HKEY_CURRENT_USER\\Software\\Nameless", ""},
      {"Software\\Nameless", "HKEY_CURRENT_USER\\Software\\Nameless", ""},
      {"Partly", "HKEY_CURRENT_USER\\Software\\PartlyKeep", ""},
      {"Equals In Key", "HKEY_CLASSES_ROOT\\a=b", ""},
  };
  EXPECT_EQ(Threats(), expected_threats);

  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 12);
  EXPECT_EQ(app().scan.lngThreatsFound, 6);
  EXPECT_EQ(app().frmMain.lbltracesFound.Caption(), "7");
}

TEST_F(RegistryStageTest, ThreatAlreadyInTheLogByPrefixGetsNoSecondRow) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\A]\n[HKEY_LOCAL_MACHINE\\Software\\B]\n");
  model::RowView<model::ScanLogRow>(app().frmMain.lvwSpywareFound)
      .Add({"ACME BAR - Found on another stage", ThreatIconKind::kFile});
  WriteDefinitions({
      "2^Software\\A^=Acme Bar",  // listed: the row begins with "Acme Bar - Found"
      "2^Software\\B^=Acme",      // "Acme" is only the beginning of the listed name
  });
  Run();
  EXPECT_EQ(Targets().size(), 2u);
  const std::vector<std::vector<std::string>> expected_threats = {
      {"Acme", "HKEY_LOCAL_MACHINE\\Software\\B", ""}};
  EXPECT_EQ(Threats(), expected_threats);
  EXPECT_EQ(app().scan.lngThreatsFound, 1);
}

TEST_F(RegistryStageTest, RegistryBeforeFilesKeepsOneThreatRow) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\Acme]\n");
  fixture_.temp.WriteFile("C:\\WINDOWS\\acme.dll", "x");
  WriteDefinitions({"2^Software\\Acme^=Acme SearchBar|Toolbar"});
  fixture_.temp.WriteFile(kProgramFolder + "FileDefinition.dat",
                          Encoded({"acme.dll=Acme SearchBar|[windir]|File Type"}));
  app().definitions.lngFileDefinitionCount = 1;
  Run();
  engine::ScanFileDefinitions(app());

  const std::vector<std::vector<std::string>> expected_threats = {
      {"Acme SearchBar", "HKEY_LOCAL_MACHINE\\Software\\Acme", "Toolbar"}};
  EXPECT_EQ(Threats(), expected_threats);
  EXPECT_EQ(app().frmMain.lvwFilesToBeDeleted.Count(), 1);
  EXPECT_EQ(app().frmMain.lbltracesFound.Caption(), "2");
  EXPECT_EQ(app().scan.lngThreatsFound, 1);
}

TEST_F(RegistryStageTest, StopEndsTheStageAtTheNextLine) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\A]\n[HKEY_LOCAL_MACHINE\\Software\\B]\n");
  WriteDefinitions({"2^Software\\Absent^=Absent", "2^Software\\A^=A", "2^Software\\B^=B"});
  // Yields: before line 1, before line 2, after A's new threat; then the stop is seen.
  fixture_.backend.AtYield(3, "stop", [&] { app().scan.bStopScan = true; });
  Run();
  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 2);
  EXPECT_EQ(Targets().size(), 1u);
  EXPECT_EQ(Threats().size(), 1u);
}

TEST_F(RegistryStageTest, ScanLogChangedDuringTheStageIsSearchedAgain) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\A]\n[HKEY_LOCAL_MACHINE\\Software\\B]\n");
  WriteDefinitions({"2^Software\\A^=Acme", "2^Software\\B^=Acme"});
  // After the first line's new threat the log is emptied and refilled by someone else.
  fixture_.backend.AtYield(2, "replace the log", [&] {
    forms::ListView& log = app().frmMain.lvwSpywareFound;
    log.Clear();
    log.AddItem("Other - Found", 3);
  });
  Run();
  EXPECT_EQ(app().frmMain.lvwSpywareFound.Count(), 2);
  EXPECT_EQ(Threats().size(), 2u);
  EXPECT_EQ(app().scan.lngThreatsFound, 2);
}

TEST_F(RegistryStageTest, WhatChangesDuringAYieldIsSeenByTheNextLine) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\A]\n[HKEY_LOCAL_MACHINE\\Software\\Gone]\n");
  WriteDefinitions({"2^Software\\A^=A", "2^Software\\Other^=Other", "2^Software\\A^Late^=Late",
                    "2^Software\\Gone^=Gone"});
  // After the first line's new threat another program makes a key; after the second's, this
  // program changes the registry.
  fixture_.backend.AtYield(2, "another program", [&] {
    const machine::Profile& profile = fixture_.machine().profile();
    std::string error;
    auto other = machine::Registry::Open(profile.machine_hive, profile.user_hive, error);
    ASSERT_NE(other, nullptr) << error;
    machine::RegHandle made = 0;
    ASSERT_EQ(other->CreateKey(machine::kHkeyLocalMachine, "Software\\Other", made), 0);
    other->CloseKey(made);
  });
  fixture_.backend.AtYield(4, "this program", [&] {
    services::SetRegistryValue(app().system, machine::kHkeyLocalMachine, "Software\\A", "Late",
                               "x");
    services::DeleteRegistryKey(app().system, machine::kHkeyLocalMachine, "Software\\Gone");
  });
  Run();
  const std::vector<std::vector<std::string>> expected = {
      {Handle(machine::kHkeyLocalMachine), "Software\\A", "", "A"},
      {Handle(machine::kHkeyLocalMachine), "Software\\Other", "", "Other"},
      {Handle(machine::kHkeyLocalMachine), "Software\\A", "Late", "Late"},
  };
  EXPECT_EQ(Targets(), expected);
}

TEST_F(RegistryStageTest, ProgressShowsTheLowerCasedKeyOnTheHundredthLine) {
  std::vector<std::string> lines(99, "2^Software\\Absent^=Absent");
  lines.push_back("2^Software\\LAST Key^Value Name^=Absent");
  WriteDefinitions(lines);
  app().definitions.lngCookieDefinitionCount = 100;
  app().definitions.lngTotalDefinitions = 400;
  Run();
  model::FrmMain& window = app().frmMain;
  EXPECT_EQ(window.lblStatus(0).Caption(), "Scanning Registry: \r\nsoftware\\last key\\Value Name");
  EXPECT_EQ(window.lblRegistryInspected.Caption(), "100");
  EXPECT_EQ(window.pb1.Value(), 100);
  EXPECT_EQ(window.pb2.Value(), 50);
}

TEST_F(RegistryStageTest, MissingDefinitionFileFindsNothing) {
  Import("[HKEY_LOCAL_MACHINE\\Software\\A]\n");
  Run();
  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 0);
  EXPECT_EQ(app().frmMain.lvwSpywareFound.Count(), 0);
}

TEST(RegistryDefinitionLineTest, Layout) {
  struct Case {
    std::string text;
    std::string root;
    std::string key;
    const char* value;
    const char* threat;
    const char* type;
    bool has_threat_part;
    bool names_item;  // counted and looked for
  };
  const Case cases[] = {
      {"2^Software\\X^Run^=Thing|Adware", "2", "Software\\X", "Run", "Thing", "Adware", true, true},
      {"2^Software\\X^=Thing", "2", "Software\\X", "", "Thing", "", true, true},
      {"2^Software\\X=Thing", "2", "Software\\X", "", "Thing", "", true, true},
      {"2^Software\\X^Run=Thing", "2", "Software\\X", "Run", "Thing", "", true, true},
      {"2^K^V^extra^more=T", "2", "K", "V", "T", "", true, true},
      {"2^K=1^V=2^=  T a |  B  | C", "2", "K=1", "V=2", "T a ", "  B  ", true, true},
      {"2^K^=", "2", "K", "", "", "", true, true},
      {"2^K^=|Type", "2", "K", "", "", "Type", true, true},
      {"2^K^V", "2", "K", "V", "", "", false, false},
      // A blank key path would name the root; a NUL ends no registry name.
      {"2^ ^=T", "2", " ", "", "T", "", true, false},
      {std::string("2^K\0x^=T", 8), "2", std::string("K\0x", 3), "", "T", "", true, false},
      {"", "", "", "", "", "", false, false},
  };
  for (const Case& c : cases) {
    const engine::RegistryDefinitionLine line = engine::ParseRegistryDefinitionLine(c.text);
    EXPECT_EQ(line.root_code, c.root) << c.text;
    EXPECT_EQ(line.key_path, c.key) << c.text;
    EXPECT_EQ(line.value_name, c.value) << c.text;
    EXPECT_EQ(line.threat_name, c.threat) << c.text;
    EXPECT_EQ(line.type_text, c.type) << c.text;
    EXPECT_EQ(line.has_threat_part, c.has_threat_part) << c.text;
    EXPECT_EQ(line.NamesRegistryItem(), c.names_item) << c.text;
  }
}

TEST(ScanLogIndexTest, AnswersAsTheLogSearch) {
  hg_test::AppFixture fixture;
  forms::ListView& log = fixture.app().frmMain.lvwSpywareFound;
  for (const char* text : {"Acme Bar - Found", "EXCLUDED: C:\\x - Found", "Twice - Found - Found",
                           "\xC9"
                           "CLAIR - FOUND",
                           "RegKey K - Found", "Cookie Found: a@b.txt"}) {
    log.AddItem(text, 2);
  }
  engine::ScanLogIndex index(log);
  for (const char* name : {"Acme Bar", "acme bar", "Acme", "Acme Bar - Found", "EXCLUDED: C:\\x",
                           "Twice", "Twice - Found",
                           "\xE9"
                           "clair",
                           "RegKey K", "", "Cookie", "Cookie Found: a@b.txt"}) {
    EXPECT_EQ(index.IsThreatListed(name), model::IsThreatListed(log, name)) << name;
  }
  EXPECT_TRUE(index.IsThreatListed("twice - found"));

  // Rows added later are seen; a row changed in place is read again.
  log.AddItem("Late - Found", 2);
  EXPECT_TRUE(index.IsThreatListed("Late"));
  log.SetItemText(0, "Renamed - Found");
  EXPECT_FALSE(index.IsThreatListed("Acme Bar"));
  EXPECT_TRUE(index.IsThreatListed("Renamed"));
  log.Clear();
  EXPECT_FALSE(index.IsThreatListed("Late"));
}

// Peak memory of the process so far, in kilobytes.
long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(ScanLogIndexTest, ARowOfManyFoundMarksTakesMemoryAsLargeAsTheRow) {
  hg_test::AppFixture fixture;
  forms::ListView& log = fixture.app().frmMain.lvwSpywareFound;
  std::string text = "Long";
  for (int i = 0; i < 8192; ++i)
    text += " - Found";
  log.AddItem(text, 3);
  const long peak_before = PeakKilobytes();
  engine::ScanLogIndex index(log);
  EXPECT_TRUE(index.IsThreatListed("long"));
  EXPECT_TRUE(index.IsThreatListed("Long - Found - Found"));
  EXPECT_FALSE(index.IsThreatListed("Long - Found - Other"));
  EXPECT_LT(PeakKilobytes() - peak_before, 16 * 1024);
}

}  // namespace
