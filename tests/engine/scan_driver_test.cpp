#include "engine/scan/scan_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/definitions/definition_reader.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/planted_scan.h"

namespace {

using Phase = std::pair<std::string, std::string>;  // stage caption, lblPercentageCompleted

// The sample definitions over the planted tree, and what the scan run does before the driver:
// the scan buttons say a scan runs, the counter labels start at "0".
void PrepareScan(hg_test::AppFixture& fixture) {
  model::App& app = fixture.app();
  hg_test::InstallSampleDefinitions(app);
  hg_test::PlantSampleThreats(fixture.temp, app);
  model::FrmMain& window = app.frmMain;
  window.cmdScanNow.SetEnabled(false);
  window.cmdScan.SetEnabled(false);
  for (forms::Label* label :
       {&window.lblMemoryInspected, &window.lblRegistryInspected, &window.lblFilesFolderInspected,
        &window.lblSoftwareFound, &window.lblRemovePicSoftwareFound, &window.lbltracesFound}) {
    label->SetCaption("0");
  }
}

class ScanDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareScan(fixture_); }

  // Runs the driver, noting each new stage as the stages' yields see it.
  std::vector<Phase> RunRecordingPhases() {
    std::vector<Phase> phases;
    hg_test::YieldProbe probe(fixture_.backend, [&](int) {
      Phase now{app().scan.strScanPhaseCaption, window().lblPercentageCompleted.Caption()};
      if (phases.empty() || phases.back() != now)
        phases.push_back(std::move(now));
    });
    EXPECT_TRUE(engine::RunScan(app()));
    return phases;
  }

  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return fixture_.app().frmMain; }

  hg_test::AppFixture fixture_;
};

TEST_F(ScanDriverTest, StagesRunInTheirOrderUnderTheirCaptions) {
  window().lngCookieFilesWalked = 99;
  const std::vector<Phase> phases = RunRecordingPhases();
  EXPECT_EQ(phases, (std::vector<Phase>{
                        {"Detecting Cookies: ", "Inspecting Cookies..."},
                        {"Inspecting Memory: ", "Inspecting memory..."},
                        {"Scanning Registry: ", "Scanning registry..."},
                        {"Scanning Known Spyware/Adware: ", "Scanning known Spyware/Adware..."},
                    }));
  // Walked afresh: the two planted cookie files.
  EXPECT_EQ(window().lngCookieFilesWalked, 2);
  EXPECT_FALSE(window().pbgMain.Visible());
  // The stage marker ends beside the file stages' label.
  EXPECT_EQ(window().shpCircle.Left(), window().Label5.Left() - 250);
  EXPECT_EQ(window().shpCircle.Top(), window().Label5.Top() + 11);
  EXPECT_EQ(fixture_.runtime().LockedWindow(), 0);
}

TEST_F(ScanDriverTest, RegistryStageStartsWithTheCookiesShareAndItsMarker) {
  bool seen = false;
  hg_test::YieldProbe probe(fixture_.backend, [&](int) {
    if (seen || app().scan.strScanPhaseCaption != "Scanning Registry: ")
      return;
    seen = true;
    EXPECT_EQ(window().pb1.Value(), 0);
    const model::DefinitionsState& counts = app().definitions;
    EXPECT_FLOAT_EQ(static_cast<float>(window().pb2.Value()),
                    100.0f * static_cast<float>(counts.lngCookieDefinitionCount) /
                        static_cast<float>(counts.lngTotalDefinitions));
    EXPECT_EQ(window().shpCircle.Left(), window().Label4.Left() - 250);
    EXPECT_EQ(window().shpCircle.Top(), window().Label4.Top() + 11);
  });
  EXPECT_TRUE(engine::RunScan(app()));
  EXPECT_TRUE(seen);
}

TEST_F(ScanDriverTest, TheLastProgressCallShowsTheFinalCounts) {
  EXPECT_TRUE(engine::RunScan(app()));
  const model::ScanState& scan = app().scan;
  EXPECT_GT(scan.lngRegistryItemsInspected, 0);
  EXPECT_GT(scan.lngFilesFoldersInspected, 0);
  EXPECT_GT(scan.lngThreatsFound, 0);
  // The scan made fewer than a hundred calls since the last refresh; the counts are shown all
  // the same.
  EXPECT_EQ(window().lblMemoryInspected.Caption(), std::to_string(scan.lngMemoryItemsInspected));
  EXPECT_EQ(window().lblRegistryInspected.Caption(),
            std::to_string(scan.lngRegistryItemsInspected));
  EXPECT_EQ(window().lblFilesFolderInspected.Caption(),
            std::to_string(scan.lngFilesFoldersInspected));
  EXPECT_EQ(window().lblSoftwareFound.Caption(), std::to_string(scan.lngThreatsFound));
  EXPECT_EQ(window().lblRemovePicSoftwareFound.Caption(), std::to_string(scan.lngThreatsFound));
  EXPECT_EQ(window().lblStatus(0).Caption(), "Scan Complete");
  EXPECT_EQ(window().pb1.Value(), 100);
  EXPECT_EQ(window().pb2.Value(), 100);
  EXPECT_EQ(scan.lngProgressCalls, 0);
}

TEST(ScanDriverOptionsTest, OptionsSwitchStagesOff) {
  struct Case {
    const char* key;
    const char* value;
    const char* skipped_phase;
    forms::ListView model::FrmMain::*untouched_list;
    // Shows "Not Selected" while the later stages run.
    forms::Label model::FrmMain::*not_selected;
  };
  const Case cases[] = {
      {"chkScanCookies", "0", "Detecting Cookies: ", &model::FrmMain::lvwCookiesToDelete, nullptr},
      {"chkSweepMemory", "False", "Inspecting Memory: ", nullptr,
       &model::FrmMain::lblMemoryInspected},
      {"chkScanRegistry", "0", nullptr, &model::FrmMain::lvwRegistryToBeDeleted,
       &model::FrmMain::lblRegistryInspected},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    hg_test::AppFixture fixture;
    model::App& app = fixture.app();
    PrepareScan(fixture);
    services::WriteSetting(app.system, app.SettingsApplication(), "OptionAndSettings", c.key,
                           c.value);
    std::vector<std::string> phases;
    std::string shown_during_files;
    hg_test::YieldProbe probe(fixture.backend, [&](int) {
      if (phases.empty() || phases.back() != app.scan.strScanPhaseCaption)
        phases.push_back(app.scan.strScanPhaseCaption);
      if (c.not_selected && shown_during_files.empty() &&
          app.scan.strScanPhaseCaption == "Scanning Known Spyware/Adware: ") {
        shown_during_files = (app.frmMain.*c.not_selected).Caption();
      }
    });
    EXPECT_TRUE(engine::RunScan(app));

    if (c.skipped_phase) {
      EXPECT_EQ(std::count(phases.begin(), phases.end(), c.skipped_phase), 0);
    }
    if (c.untouched_list) {
      EXPECT_EQ((app.frmMain.*c.untouched_list).Count(), 0);
    }
    if (c.not_selected) {
      EXPECT_EQ(shown_during_files, "Not Selected");
    }
    // The file stages always run.
    EXPECT_GT(app.frmMain.lvwFilesToBeDeleted.Count(), 0);
  }
}

TEST_F(ScanDriverTest, ADamagedDefinitionSetRunsNoStage) {
  std::filesystem::remove(fixture_.temp.host(std::string(hg_test::kPlantedProgramFolder) +
                                             "\\DirectoryDefinition.dat"));
  fixture_.backend.ExpectMsgBox(services::vbOK, "Definition files are missing");
  window().lblPercentageCompleted.SetCaption("0");

  EXPECT_FALSE(engine::RunScan(app()));

  ASSERT_EQ(fixture_.backend.MessageBoxes().size(), 1u);
  const forms::ShownMessageBox& box = fixture_.backend.MessageBoxes()[0];
  EXPECT_EQ(box.prompt,
            "Definition files are missing or they have been corrupted. Please run Liveupdate.");
  EXPECT_EQ(box.style, services::vbInformation);
  EXPECT_EQ(box.title, "Hearthguard");
  for (std::string_view name :
       {engine::kFileDefinitionFile, engine::kDirectoryDefinitionFile, engine::kExeDefinitionFile,
        engine::kRegistryDefinitionFile, engine::kBlockedCookiesFile}) {
    EXPECT_FALSE(engine::ProgramFileExists(app().system, name)) << name;
  }
  EXPECT_EQ(window().lblDefVersion.Caption(), "Files Missing, Run Live Update");
  EXPECT_EQ(window().lvwSpywareFound.Count(), 0);
  EXPECT_EQ(window().lblPercentageCompleted.Caption(), "0");
  EXPECT_TRUE(window().pbgMain.Visible());
  EXPECT_EQ(app().scan.lngRegistryItemsInspected, 0);
}

}  // namespace
