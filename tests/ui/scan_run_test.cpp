#include "ui/main/scan_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "model/scan_running.h"
#include "scan_fixture.h"
#include "services/prompts.h"
#include "ui/main/live_update_run.h"
#include "ui/main/scan_controls.h"

namespace {

using ui_test::ScanFixture;

// The state of the window that a scan switches, by control name.
std::map<std::string, bool> Switches(model::App& app) {
  model::FrmMain& w = app.frmMain;
  return {
      {"cmdScanNow", w.cmdScanNow.Enabled()},
      {"cmdScan", w.cmdScan.Enabled()},
      {"cmdStop", w.cmdStop.Enabled()},
      {"cmdPause", w.cmdPause.Enabled()},
      {"cmdLog", w.cmdLog.Enabled()},
      {"cmdUpdate", w.cmdUpdate.Enabled()},
      {"cmdStatus", w.cmdStatus.Enabled()},
      {"cmdResults", w.cmdResults.Enabled()},
      {"cmdSettings", w.cmdSettings.Enabled()},
      {"cmdRemove shown", w.cmdRemove.Visible()},
      {"shpCircle shown", w.shpCircle.Visible()},
      {"tmrScheduler", w.tmrScheduler.Enabled()},
      {"tmrCheckHomePage", w.tmrCheckHomePage.Enabled()},
      {"tmrMemoryInspected", w.tmrMemoryInspected.Enabled()},
      {"tmrTimeOut", w.tmrTimeOut.Enabled()},
      {"tmrScroll", w.tmrScroll.Enabled()},
      {"frmDelete shown", app.frmDelete.Peek().Visible()},
  };
}

class ScanRunTest : public ScanFixture {};

TEST_F(ScanRunTest, TheWindowShowsARunningScanAndComesBackAfterIt) {
  // What the last scan and removal left: rows, a shown delete-failed window, running timers.
  window().lvwSpywareFound.AddItem("Old Threat - Found");
  window().lvwFileNotFounds.AddItem("old");
  app().frmDelete->lstProblem.AddItem("C:\\old.dll");
  app().frmDelete->Show();
  window().tmrScroll.SetEnabled(true);
  window().tmrTimeOut.SetEnabled(true);
  SaveSetting("OptionAndSettings", "chkAutomaticScanYesOrNo", "1");
  SaveSetting("OptionAndSettings", "optMemorySheildOn", "False");

  // Time passes with every yield, so a group timer that ran during the scan would tick.
  std::map<std::string, int> ticks;
  for (forms::Timer* timer : {&window().tmrScheduler, &window().tmrCheckHomePage,
                              &window().tmrMemoryInspected, &window().tmrTimeOut}) {
    timer->on_timer = [&ticks, timer] { ++ticks[timer->name()]; };
  }
  backend().SetMsPerYield(500);

  std::map<std::string, bool> during;
  bool running_during = false;
  int problems_during = -1;
  hg_test::YieldProbe probe(backend(), [&](int yield) {
    if (yield != 1)
      return;
    during = Switches(app());
    running_during = model::IsScanRunning(app());
    problems_during = app().frmDelete.Peek().lstProblem.Count();
    EXPECT_EQ(window().lvwFileNotFounds.Count(), 0);
    EXPECT_EQ(window().lvwSpywareFound.Count(), 0);
    EXPECT_EQ(window().lblTotalNoOfRunningItems.Caption(), "0");
  });
  window().cmdScanNow.UserClick();
  probe.Stop();

  EXPECT_TRUE(running_during);
  EXPECT_EQ(problems_during, 0);
  EXPECT_EQ(during, (std::map<std::string, bool>{
                        {"cmdScanNow", false},
                        {"cmdScan", false},
                        {"cmdStop", true},
                        {"cmdPause", true},
                        {"cmdLog", false},
                        {"cmdUpdate", false},
                        {"cmdStatus", false},
                        {"cmdResults", false},
                        {"cmdSettings", false},
                        {"cmdRemove shown", false},
                        {"shpCircle shown", false},
                        {"tmrScheduler", false},
                        {"tmrCheckHomePage", false},
                        {"tmrMemoryInspected", false},
                        {"tmrTimeOut", false},
                        {"tmrScroll", false},
                        {"frmDelete shown", false},
                    }));
  EXPECT_TRUE(ticks.empty()) << "a timer ticked during the scan";

  EXPECT_FALSE(model::IsScanRunning(app()));
  EXPECT_EQ(Switches(app()), (std::map<std::string, bool>{
                                 {"cmdScanNow", true},
                                 {"cmdScan", true},
                                 {"cmdStop", false},
                                 {"cmdPause", false},
                                 {"cmdLog", true},
                                 {"cmdUpdate", true},
                                 {"cmdStatus", true},
                                 {"cmdResults", true},
                                 {"cmdSettings", true},
                                 {"cmdRemove shown", true},
                                 {"shpCircle shown", false},
                                 {"tmrScheduler", true},
                                 {"tmrCheckHomePage", true},
                                 {"tmrMemoryInspected", false},
                                 {"tmrTimeOut", true},
                                 {"tmrScroll", false},
                                 {"frmDelete shown", false},
                             }));
  EXPECT_TRUE(window().cmdRemove.Enabled());
  EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
  EXPECT_EQ(window().pb1.Value(), 100);
  EXPECT_EQ(window().pb2.Value(), 100);
  EXPECT_EQ(fixture_.runtime().LockedWindow(), 0);

  // The time-out timer runs from the end of the scan.
  backend().AdvanceMs(30000);
  EXPECT_EQ(ticks["tmrTimeOut"], 1);
}

TEST_F(ScanRunTest, TheScanSavesItsDates) {
  for (const bool full_scan : {false, true}) {
    SCOPED_TRACE(full_scan ? "all drives" : "known spyware only");
    SaveSetting("Settings", "lblLastFullScan", "1/2/2003 4:05:06 AM");
    window().optScanAllSelectedHardDrive.SetValue(full_scan);
    window().optScanOnlyKnownSoftwares.SetValue(!full_scan);

    ui::cmdScanNow_Click(app());

    EXPECT_FALSE(window().strScanStarted.empty());
    EXPECT_FALSE(window().strScanFinished.empty());
    EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), window().strScanFinished);
    EXPECT_EQ(ReadSetting("Settings", "lblLastFullScan"),
              full_scan ? window().strScanFinished : "1/2/2003 4:05:06 AM");
    // The status page shows them at once.
    EXPECT_EQ(window().lblLastScan.Caption(), window().strScanFinished);
  }
}

TEST_F(ScanRunTest, TheReportAndTheAutomaticRemovalFollowTheOutcome) {
  struct Case {
    bool auto_delete;
    bool make_log;
    bool stop;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {false, true, false, {"MakeReport"}},
      {false, false, false, {}},
      {true, false, false, {"cmdRemove", "cmdSelectAll", "Command4"}},
      {true, true, false, {"MakeReport", "cmdRemove", "cmdSelectAll", "Command4"}},
      // A stopped scan writes its report but removes nothing.
      {true, true, true, {"MakeReport"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "auto " << c.auto_delete << " log " << c.make_log << " stop " << c.stop);
    calls_.clear();
    app().scan.bAutoDeleteAfterScan = c.auto_delete;
    window().chkMakeLog.SetValue(c.make_log ? forms::kChecked : forms::kUnchecked);
    if (c.stop)
      backend().AtYield(3, "stop", [this] { app().scan.bStopScan = true; });
    // The report is written once the scan's end is known and saved.
    app().hooks.MakeReport = [this] {
      calls_.push_back("MakeReport");
      EXPECT_FALSE(window().strScanFinished.empty());
      EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), window().strScanFinished);
    };

    ui::cmdScanNow_Click(app());

    EXPECT_EQ(calls_, c.calls);
    EXPECT_EQ(window().lblStatus(0).Caption(),
              c.stop ? "Scanning was cancelled." : "Scanning complete.");
    // A stopped scan leaves the bars where the stages left them: the registry stage's start
    // emptied pb1.
    EXPECT_EQ(window().pb1.Value(), c.stop ? 0 : 100);
  }
}

// A definition file that is missing, or there but too large to read, ends the scan before any
// stage; only the missing one takes the set with it.
TEST_F(ScanRunTest, AMissingOrUnreadableDefinitionFileEndsTheScanAsCancelled) {
  for (const bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "missing" : "unreadable");
    const std::filesystem::path exe_file =
        fixture_.temp.host(std::string(hg_test::kPlantedProgramFolder) + "\\ExeDefinition.dat");
    if (missing)
      std::filesystem::remove(exe_file);
    else
      std::filesystem::resize_file(exe_file, uint64_t{300} << 20);  // a hole, no disk
    calls_.clear();
    app().scan.bAutoDeleteAfterScan = true;
    window().chkMakeLog.SetValue(forms::kChecked);
    window().optScanAllSelectedHardDrive.SetValue(true);
    window().pbgMain.SetValue(40);
    backend().ExpectMsgBox(services::vbOK,
                           "Definition files are missing or they have been corrupted. Please run "
                           "Liveupdate.");

    ui::cmdScanNow_Click(app());

    EXPECT_TRUE(backend().PromptsUsedUp());
    EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning was cancelled.");
    EXPECT_EQ(window().lblPercentageCompleted.Caption(), "0% complete.");
    EXPECT_EQ(window().pbgMain.Value(), 0);
    // No scan took place: no date, no removal; the report of the attempt is still written.
    EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), "(none)");
    EXPECT_EQ(ReadSetting("Settings", "lblLastFullScan"), "(none)");
    EXPECT_EQ(window().lblLastScan.Caption(), "Never");
    EXPECT_EQ(calls_, std::vector<std::string>{"MakeReport"});
    EXPECT_FALSE(model::IsScanRunning(app()));
    EXPECT_TRUE(window().tmrTimeOut.Enabled());
    EXPECT_EQ(std::filesystem::exists(exe_file), !missing);
  }
}

class ScanBlockedTest : public ScanFixture {
 protected:
  void CheckRefusedWhile(bool& flag, const std::string& message) {
    window().lvwSpywareFound.AddItem("Kept Threat - Found");
    window().tmrCheckHomePage.SetEnabled(true);
    const std::string status = window().lblStatus(0).Caption();
    flag = true;

    // The scheduler's way in says nothing.
    ui::lblStart_Click(app());
    EXPECT_TRUE(backend().MessageBoxes().empty());

    // The button says why nothing happens.
    backend().ExpectMsgBox(services::vbOK, message);
    window().cmdScanNow.UserClick();
    ASSERT_EQ(backend().MessageBoxes().size(), 1u);
    EXPECT_EQ(backend().MessageBoxes()[0].prompt, message);
    EXPECT_EQ(backend().MessageBoxes()[0].style, services::vbInformation);
    EXPECT_EQ(backend().MessageBoxes()[0].title, "Hearthguard");
    // The Start label says so too, and Live Update in its own words.
    std::string update_message = message;
    update_message.replace(update_message.find("the scan"), 8, "Live Update");
    backend().ExpectMsgBox(services::vbOK, message);
    window().lblStart.UserClick();
    backend().ExpectMsgBox(services::vbOK, update_message);
    ui::cmdUpdate_Click(app());
    ASSERT_EQ(backend().MessageBoxes().size(), 3u);
    EXPECT_EQ(backend().MessageBoxes()[1].prompt, message);
    EXPECT_EQ(backend().MessageBoxes()[2].prompt, update_message);

    EXPECT_EQ(window().lvwSpywareFound.Count(), 1);
    EXPECT_TRUE(window().cmdScanNow.Enabled());
    EXPECT_TRUE(window().tmrCheckHomePage.Enabled());
    EXPECT_EQ(window().lblStatus(0).Caption(), status);
    EXPECT_EQ(ReadSetting("Settings", "lblLastScan"), "(none)");

    // Once it has ended, the scan starts.
    flag = false;
    ui::lblStart_Click(app());
    EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
    EXPECT_EQ(backend().MessageBoxes().size(), 3u);
  }
};

TEST_F(ScanBlockedTest, NoScanStartsWhileARemovalRuns) {
  CheckRefusedWhile(app().scan.bRemovalRunning,
                    "A removal is in progress. Start the scan again when it has finished.");
}

TEST_F(ScanBlockedTest, NoScanStartsWhileALiveUpdateRuns) {
  CheckRefusedWhile(app().scan.bLiveUpdateRunning,
                    "Live Update is in progress. Start the scan again when it has finished.");
}

TEST_F(ScanBlockedTest, NoScanStartsWhileAShieldWaitsForAnAnswer) {
  CheckRefusedWhile(
      app().shields.bShieldTickRunning,
      "The protection is waiting for your answer. Start the scan again when you have answered.");
}

TEST_F(ScanRunTest, ASecondStartDuringAScanDoesNothing) {
  std::vector<std::string> page_switches;
  window().cmdScan.on_click = [&] { page_switches.push_back("cmdScan"); };
  std::string started;
  int32_t inspected = -1;
  hg_test::YieldProbe probe(backend(), [&](int) {
    if (inspected >= 0 || app().scan.strScanPhaseCaption != kRegistryPhase ||
        app().scan.lngRegistryItemsInspected < 2) {
      return;
    }
    started = window().strScanStarted;
    inspected = app().scan.lngRegistryItemsInspected;
    ui::lblStart_Click(app());
    ui::cmdScanNow_Click(app());
    EXPECT_EQ(app().scan.lngRegistryItemsInspected, inspected);
    EXPECT_EQ(window().strScanStarted, started);
  });

  // lblStart when idle shows the scan page and scans.
  ui::lblStart_Click(app());
  probe.Stop();

  EXPECT_GE(inspected, 2);
  EXPECT_EQ(page_switches, std::vector<std::string>{"cmdScan"});
  EXPECT_EQ(window().lblStatus(0).Caption(), "Scanning complete.");
  EXPECT_GT(app().scan.lngRegistryItemsInspected, inspected);
}

}  // namespace
