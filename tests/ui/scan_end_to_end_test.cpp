// Whole scans of the sample definitions over the planted tree with a real running program,
// started from the scan page: the results checked whole, and the scan stopped or paused by
// scripted clicks in each of its stages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/scan/inspect_memory.h"
#include "model/result_rows.h"
#include "model/scan_running.h"
#include "scan_fixture.h"
#include "services/prompts.h"
#include "support/test_process.h"
#include "ui/main/scan_run.h"

namespace {

using Row = std::pair<int, std::string>;  // icon, columns joined by " | "

const std::string kCookie = hg_test::kPlantedCookie;
const std::string kRunningProgram = "C:\\Program Files\\Acme SearchBar\\acmebar.exe";

std::vector<Row> Rows(const forms::ListView& list) {
  std::vector<Row> rows;
  for (const forms::ListItem& item : list.Items()) {
    std::string text = item.text;
    for (const std::string& sub_item : item.sub_items)
      text += " | " + sub_item;
    rows.emplace_back(item.small_icon, std::move(text));
  }
  return rows;
}

// The scan log of the whole scan, in order: cookies, running programs, registry, files,
// folders.
const std::vector<Row> kWholeScanLog = {
    {1, "Cookie Found: owner@acme-searchbar[1].txt"},
    {3, "Detected in the memory : ACMEBAR.EXE was stopped from running."},
    {2, "FunnyCursor Toolbar - Found"},
    {0, "RegKey Software\\Nameless Tracker Demo - Found"},
    {2, "Popup Pal Adware - Found"},
    {3, "Acme SearchBar - Found"},
    {5, "EXCLUDED: C:\\Documents and Settings\\Owner\\My Documents\\KeyPeek\\keypeek.txt"},
    {3, "WallTheme Hijacker Demo - Found"},
    {5, "EXCLUDED: C:\\Documents and Settings\\Owner\\My Documents\\KeyPeek"},
};

class ScanEndToEndTest : public ui_test::ScanFixture {
 protected:
  void SetUp() override {
    ScanFixture::SetUp();
    window().chkMakeLog.SetValue(forms::kUnchecked);
    StartProgram();
  }

  // A fresh copy of the running program (the one before it is ended first).
  void StartProgram() {
    program_.reset();
    program_ = std::make_unique<hg_test::TestProcess>(fixture_.temp.host(kRunningProgram));
    ASSERT_NE(program_->pid(), 0);
  }

  // Runs `act` once, at the first yield of the stage that shows `phase`.
  void AtFirstYieldOf(const std::string& phase, std::function<void()> act) {
    probe_ = std::make_unique<hg_test::YieldProbe>(backend(), [this, phase, act](int) {
      if (app().scan.strScanPhaseCaption != phase)
        return;
      probe_->Stop();
      act();
    });
  }

  std::vector<Row> ScanLog() { return Rows(window().lvwSpywareFound); }

  void ExpectCancelledOutcome() {
    EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning was cancelled.");
    EXPECT_EQ(window().lblPercentageCompleted.Caption(), "0% complete.");
    EXPECT_EQ(window().pbgMain.Value(), 0);
    EXPECT_TRUE(app().scan.bStopScan);
    // A stopped scan still counts as the last scan, and removes nothing.
    EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), window().strScanFinished);
    EXPECT_TRUE(calls_.empty());
    EXPECT_FALSE(model::IsScanRunning(app()));
  }

  std::unique_ptr<hg_test::TestProcess> program_;
  std::unique_ptr<hg_test::YieldProbe> probe_;
};

TEST_F(ScanEndToEndTest, WholeScanOfTheSampleDefinitions) {
  window().cmdScanNow.UserClick();

  EXPECT_EQ(ScanLog(), kWholeScanLog);
  EXPECT_EQ(Rows(window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved),
            (std::vector<Row>{
                {1, "Cookie: owner@acme-searchbar[1].txt | " + kCookie + " | Tracking Cookie"},
                {2,
                 "FunnyCursor Toolbar | "
                 "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunFunnyCursor"
                 " | Toolbar"},
                {2,
                 "Software\\Nameless Tracker Demo | "
                 "HKEY_CURRENT_USER\\Software\\Nameless Tracker Demo | "},
                {2, "Popup Pal Adware | HKEY_LOCAL_MACHINE\\Software\\Popup Pal | Adware"},
                {3, "Acme SearchBar | " + kCookie + " | "},
                {3, "WallTheme Hijacker Demo | C:\\walltheme.ini | "},
            }));
  EXPECT_EQ(Rows(window().lvwFilesToBeDeleted),
            (std::vector<Row>{
                {0,
                 "C:\\Documents and Settings\\All Users\\Application Data\\PopupPal\\settings.ini"
                 " | Popup Pal Adware"},
                {0, kCookie + " | Acme SearchBar"},
                {0, "C:\\Program Files\\Acme SearchBar\\acmebar.dll | Acme SearchBar"},
                {0, kRunningProgram + " | Acme SearchBar"},
                {0, "C:\\walltheme.ini | WallTheme Hijacker Demo"},
                {0, "C:\\Program Files\\Acme SearchBar | Acme SearchBar"},
                {0,
                 "C:\\Documents and Settings\\All Users\\Application Data\\PopupPal"
                 " | Popup Pal Adware"},
            }));
  EXPECT_EQ(Rows(window().lvwRegistryToBeDeleted),
            (std::vector<Row>{
                {0,
                 "-2147483647 | Software\\Microsoft\\Windows\\CurrentVersion\\Run | FunnyCursor | "
                 "FunnyCursor Toolbar"},
                {0, "-2147483647 | Software\\Nameless Tracker Demo |  | "},
                {0, "-2147483646 | Software\\Popup Pal |  | Popup Pal Adware"},
            }));
  EXPECT_EQ(Rows(window().lvwCookiesToDelete), (std::vector<Row>{{0, kCookie + " | "}}));

  // The running program was ended.
  EXPECT_TRUE(program_->WaitKilled());

  // Counts: the cookie stage leaves the memory count at the number of blocked domains (6), the
  // running-program stage adds one per definition line (6) and one per process listed.
  const int processes = std::stoi(window().lblTotalNoOfRunningItems.Caption());
  EXPECT_GE(processes, 1);
  EXPECT_EQ(window().lblMemoryInspected.Caption(), std::to_string(6 + 6 + processes));
  EXPECT_EQ(window().lblRegistryInspected.Caption(), "18");
  EXPECT_EQ(window().lblFilesFolderInspected.Caption(), "42");
  EXPECT_EQ(window().lblSoftwareFound.Caption(), "7");
  EXPECT_EQ(window().lblRemovePicSoftwareFound.Caption(), "7");
  EXPECT_EQ(window().lbltracesFound.Caption(), "10");
  EXPECT_EQ(window().lngCookieFilesWalked, 2);

  EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
  EXPECT_EQ(window().lblPercentageCompleted.Caption(), "Scanning known Spyware/Adware...");
  EXPECT_EQ(window().pbgMain.Value(), 0);
  EXPECT_EQ(window().pb1.Value(), 100);
  EXPECT_EQ(window().pb2.Value(), 100);
  EXPECT_FALSE(app().scan.bStopScan);
  EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), window().strScanFinished);
  EXPECT_TRUE(backend().MessageBoxes().empty());
}

// Stopped at the first yield of each stage: what the stages before it found stays, nothing
// after it is found, and the program runs on when the running-program stage did not reach it.
TEST_F(ScanEndToEndTest, StopDuringEachStage) {
  struct Case {
    const char* phase;
    size_t log_rows_kept;
    bool program_ended;
  };
  const Case cases[] = {
      {kCookiePhase, 0, false},
      {kMemoryPhase, 1, false},
      {kRegistryPhase, 2, true},
      {kFilesPhase, 5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
    StartProgram();
    app().scan.bAutoDeleteAfterScan = true;
    backend().ExpectMsgBox(services::vbYes, "Are you sure you want to stop the scan?");
    AtFirstYieldOf(c.phase, [this] { EXPECT_TRUE(window().cmdStop.UserClick()); });

    window().cmdScanNow.UserClick();

    EXPECT_TRUE(backend().PromptsUsedUp());
    ExpectCancelledOutcome();
    EXPECT_EQ(ScanLog(),
              std::vector<Row>(kWholeScanLog.begin(), kWholeScanLog.begin() + c.log_rows_kept));
    if (c.program_ended) {
      EXPECT_TRUE(program_->WaitKilled());
    } else {
      EXPECT_TRUE(hg_test::IsAlive(program_->pid()));
    }
    // The counts shown are those the scan reached.
    EXPECT_EQ(window().lblSoftwareFound.Caption(), std::to_string(app().scan.lngThreatsFound));
    EXPECT_EQ(window().lblFilesFolderInspected.Caption(),
              std::to_string(app().scan.lngFilesFoldersInspected));
  }
}

TEST_F(ScanEndToEndTest, TheStopLabelAsksItsOwnQuestionAndNoGoesOn) {
  backend().ExpectMsgBox(services::vbNo, "Are you sure?");
  AtFirstYieldOf(kRegistryPhase, [this] { EXPECT_TRUE(window().lblStop.UserClick()); });
  window().cmdScanNow.UserClick();
  ASSERT_EQ(backend().MessageBoxes().size(), 1u);
  EXPECT_EQ(backend().MessageBoxes()[0].prompt, "Are you sure?");
  EXPECT_EQ(backend().MessageBoxes()[0].style, services::vbQuestion | services::vbYesNo);
  EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
  EXPECT_EQ(ScanLog(), kWholeScanLog);

  backend().ExpectMsgBox(services::vbYes, "Are you sure?");
  AtFirstYieldOf(kRegistryPhase, [this] { EXPECT_TRUE(window().lblStop.UserClick()); });
  window().cmdScanNow.UserClick();
  ExpectCancelledOutcome();
}

// Paused at the first yield of each stage: the scan stands still inside the box, the stop
// cannot be reached meanwhile, and after OK it ends as if it had never paused.
TEST_F(ScanEndToEndTest, PauseDuringEachStage) {
  const std::string paused = "Hearthguard has been paused.  Click OK to resume.";
  for (const char* phase : {kCookiePhase, kMemoryPhase, kRegistryPhase, kFilesPhase}) {
    SCOPED_TRACE(phase);
    StartProgram();
    const bool by_label = std::string(phase) == kMemoryPhase;
    backend().ExpectMsgBox(services::vbOK, paused, 2000);
    std::vector<int32_t> at_click;
    std::vector<int32_t> inside_box;
    std::vector<int32_t> after_box;
    bool controls_off_inside = false;
    const auto counters = [this] {
      const model::ScanState& scan = app().scan;
      return std::vector<int32_t>{scan.lngMemoryItemsInspected, scan.lngRegistryItemsInspected,
                                  scan.lngFilesFoldersInspected, scan.lngThreatsFound};
    };
    AtFirstYieldOf(phase, [&, by_label] {
      at_click = counters();
      backend().AtTime(backend().NowMs() + 1000, "look inside the box", [&] {
        inside_box = counters();
        controls_off_inside = by_label
                                  ? !window().lblPause.Enabled()
                                  : !window().cmdPause.Enabled() && !window().cmdStop.Enabled();
        // The box is modal: the stop cannot be clicked.
        EXPECT_FALSE(window().cmdStop.UserClick());
      });
      EXPECT_TRUE(by_label ? window().lblPause.UserClick() : window().cmdPause.UserClick());
      after_box = counters();
      EXPECT_TRUE(window().cmdStop.Enabled());
      EXPECT_TRUE(window().cmdPause.Enabled());
      EXPECT_TRUE(window().lblPause.Enabled());
    });

    window().cmdScanNow.UserClick();

    EXPECT_TRUE(backend().PromptsUsedUp());
    ASSERT_FALSE(backend().MessageBoxes().empty());
    const forms::ShownMessageBox& box = backend().MessageBoxes().back();
    EXPECT_EQ(box.prompt, paused);
    EXPECT_EQ(box.style, services::vbInformation);
    EXPECT_EQ(box.title, "Hearthguard");
    EXPECT_FALSE(at_click.empty());
    EXPECT_EQ(inside_box, at_click);
    EXPECT_EQ(after_box, at_click);
    EXPECT_TRUE(controls_off_inside);
    EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
    EXPECT_EQ(ScanLog(), kWholeScanLog);
  }
}

// A stopped scan leaves its stop request set until the next scan; the memory shield, which
// runs outside scans, still sees running programs.
TEST_F(ScanEndToEndTest, TheMemoryShieldStillWorksAfterAStoppedScan) {
  backend().ExpectMsgBox(services::vbYes, "Are you sure you want to stop the scan?");
  AtFirstYieldOf(kCookiePhase, [this] { EXPECT_TRUE(window().cmdStop.UserClick()); });
  window().cmdScanNow.UserClick();
  ExpectCancelledOutcome();
  ASSERT_TRUE(hg_test::IsAlive(program_->pid()));

  std::vector<std::string> alerted;
  engine::InspectMemory(app(), [&](model::App&, const engine::DetectedProgram& program) {
    alerted.push_back(program.file_name);
  });
  EXPECT_EQ(alerted, std::vector<std::string>{"ACMEBAR.EXE"});
}

}  // namespace
