// The scan report against golden files (fixed clock, fixed scan texts), its sections that come
// and go with the ignore list and the quarantine log, and its rewriting. Set HG_UPDATE_GOLDEN=1
// to write the golden files afresh from the current output (then read them before committing).

#include "removal/scan_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/clock.h"
#include "machine/date_time.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "removal/quarantine_log.h"
#include "removal/quarantine_store.h"
#include "support/app_fixture.h"
#include "support/temp_machine.h"

namespace {

constexpr machine::DateTime kNow{2006, 6, 28, 14, 5, 9};

std::filesystem::path GoldenFile(const std::string& name) {
  return std::filesystem::path(HG_SOURCE_DIR) / "tests" / "removal" / "golden" / name;
}

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

machine::VersionInfo ReportVersion() {
  machine::VersionInfo version = hg_test::TestVersionInfo();
  version.major = 3;
  version.minor = 7;
  return version;
}

class ScanReportTest : public ::testing::Test {
 protected:
  ScanReportTest() {
    app().branding.strProductName = "Hearthguard";
    EXPECT_TRUE(files().CreateFolder(removal::QuarantineFolderPath(app().system)));
    // A finished scan that inspected a little.
    model::FrmMain& w = app().frmMain;
    w.strScanStarted = "6/28/2006 1:58:40 PM";
    w.strScanFinished = "6/28/2006 2:05:09 PM";
    w.lblMemoryInspected.SetCaption("42");
    w.lblRegistryInspected.SetCaption("1570");
    w.lblFilesFolderInspected.SetCaption("20931");
  }

  model::App& app() { return fixture_.app(); }
  machine::FileSystem& files() { return fixture_.machine().files(); }

  void AddThreat(const std::string& name, const std::string& location, const std::string& type,
                 model::ThreatIconKind icon) {
    model::RowView<model::ThreatRow> threats(
        app().frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    threats.Add({.name = name, .location = location, .type = type, .icon = icon});
  }
  void WriteIgnoreList(const std::string& content) {
    fixture_.temp.WriteFile(app().machine.profile().program_folder + "\\ENoSignature.txt", content);
  }
  void WriteQuarantineLog(const std::string& content) {
    fixture_.temp.WriteFile(removal::QuarantineFolderPath(app().system) + "\\QuarantineLog.txt",
                            content);
  }

  // The report as the file holds it, byte for byte.
  std::string Report() {
    std::optional<std::string> text = files().ReadFile(removal::ScanReportPath(app()));
    EXPECT_TRUE(text.has_value());
    return text.value_or("");
  }
  std::string MadeReport() {
    EXPECT_TRUE(removal::MakeReport(app()));
    return Report();
  }

  void ExpectGolden(const std::string& name) {
    const std::string actual = MadeReport();
    const std::filesystem::path golden = GoldenFile(name);
    if (std::getenv("HG_UPDATE_GOLDEN")) {
      std::ofstream(golden, std::ios::binary) << actual;
      return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(actual, ReadHostFile(golden)) << name;
  }

  hg_test::AppFixture fixture_{{}, ReportVersion(), hg_test::FixedClockParts(kNow)};
};

TEST_F(ScanReportTest, AScanWithoutThreatsOrFiles) {
  ExpectGolden("no_threats.txt");
}

TEST_F(ScanReportTest, ThreatsExclusionsAndQuarantineLog) {
  AddThreat("Acme SearchBar", "C:\\Program Files\\AcmeSearchBar", "Adware",
            model::ThreatIconKind::kFolder);
  AddThreat("FunnyCursor", "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor", "",
            model::ThreatIconKind::kRegistry);
  AddThreat("Cookie: user@adtracker[1].txt",
            "C:\\Documents and Settings\\User\\Cookies\\user@adtracker[1].txt", "Tracking Cookie",
            model::ThreatIconKind::kCookie);
  // Empty and one-blank lines are no entries; a line of two blanks is kept as it is.
  WriteIgnoreList(
      "C:\\Program Files\\SwapShare\r\n\r\n \r\n  \r\nC:\\WINDOWS\\system32\\acmebar.dll\r\n");
  app().removal.bQuarantinePass = true;
  ASSERT_TRUE(
      removal::LogQuarantinedFile(app(), "C:\\WINDOWS\\system32\\acmebar.dll", "acmebar.dll"));
  removal::LogQuarantinedRegistryItem(app(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor",
                                      "Install");
  ExpectGolden("threats_exclusions_quarantine.txt");
}

// A section is written only when its text is not empty: an ignore list or a quarantine log
// that gives no lines leaves the report as if the file were absent.
TEST_F(ScanReportTest, SectionsWithoutTextAreLeftOut) {
  AddThreat("FunnyCursor", "HKEY_LOCAL_MACHINE\\SOFTWARE\\FunnyCursor", "",
            model::ThreatIconKind::kRegistry);
  const std::string without_files = MadeReport();
  struct Case {
    const char* what;
    std::string ignore_list;
    std::string quarantine_log;
  };
  const Case cases[] = {
      {"empty files", "", ""},
      {"ignore list of empty and one-blank lines", "\r\n \r\n\r\n \r\n", ""},
  };
  for (const Case& c : cases) {
    WriteIgnoreList(c.ignore_list);
    WriteQuarantineLog(c.quarantine_log);
    EXPECT_EQ(MadeReport(), without_files) << c.what;
  }
  EXPECT_EQ(without_files.find("[Files Currently Excluded]"), std::string::npos);
  EXPECT_EQ(without_files.find("[Current Quarantine Log]"), std::string::npos);
}

// The report is rewritten whole: nothing of an older, longer report survives, and the new text
// is never added to the old.
TEST_F(ScanReportTest, AnOldReportIsReplacedNotAppendedTo) {
  for (int i = 0; i < 5; ++i)
    AddThreat("Threat " + std::to_string(i), "C:\\t" + std::to_string(i), "",
              model::ThreatIconKind::kFile);
  const std::string long_report = MadeReport();
  app().frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Clear();
  const std::string short_report = MadeReport();
  EXPECT_LT(short_report.size(), long_report.size());
  EXPECT_EQ(short_report.find("Threat 0"), std::string::npos);
  EXPECT_NE(short_report.find("Total = 0"), std::string::npos);
  // Made again from the same state: the same bytes.
  EXPECT_EQ(MadeReport(), short_report);
  // No working file is left beside the report.
  std::vector<std::string> names;
  for (const machine::FolderEntry& entry : files().List(app().machine.profile().program_folder))
    if (!entry.attributes.is_folder)
      names.push_back(entry.name);
  EXPECT_EQ(names, std::vector<std::string>{"Scan_Log.txt"});
}

}  // namespace
