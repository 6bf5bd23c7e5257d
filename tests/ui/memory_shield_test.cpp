#include "engine/shields/memory_shield.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/definitions/ignore_list.h"
#include "engine/scan/inspect_memory.h"
#include "engine/version_resource.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "model/timer_group.h"
#include "services/prompts.h"
#include "services/text_codec.h"
#include "support/app_fixture.h"
#include "support/test_process.h"
#include "support/unkillable_table.h"
#include "ui/main/scan_run.h"
#include "ui/windows/memory_alert.h"

namespace {

constexpr const char* kEvilPath = "C:\\Program Files\\Evil Co\\EvilApp.exe";

machine::MachineParts Parts(bool unkillable) {
  machine::MachineParts parts;
  if (unkillable)
    parts.processes = std::make_unique<hg_test::UnkillableTable>();
  return parts;
}

class MemoryShieldTest : public ::testing::Test {
 protected:
  explicit MemoryShieldTest(bool unkillable = false)
      : fixture_({}, hg_test::TestVersionInfo(), Parts(unkillable)) {
    if (auto* table = dynamic_cast<hg_test::UnkillableTable*>(&fixture_.machine().processes()))
      table->SetInner(std::make_unique<machine::ProcfsProcessTable>(fixture_.machine().files()));
  }

  void SetUp() override {
    std::string definitions;
    for (const char* line : {"evilapp.exe=Evil|[progfil]\\Evil Co", "second.exe=Two|[windir]"})
      definitions += services::EncodeText(line) + "\r\n";
    fixture_.WriteProgramFile("ExeDefinition.dat", definitions);
    engine::LoadIgnoreList(app());
    engine::InstallMemoryShield(app());
    ui::InstallMemoryAlert(app());
    app().frmMain.Show();
    model::ApplyTimerSettings(app(), true);
  }

  model::App& app() { return fixture_.app(); }
  forms::HeadlessBackend& backend() { return fixture_.backend; }
  model::FrmSpywareFoundAlert& alert() { return app().frmSpywareFoundAlert.Peek(); }
  std::filesystem::path Host(std::string_view path) { return fixture_.temp.host(path); }
  std::string IgnoreFile() {
    std::ifstream in(Host("C:\\Program Files\\Hearthguard\\ENoSignature.txt"), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // At virtual time `at_ms` (reached only while the shield waits in an alert), runs `action`.
  void At(int64_t at_ms, std::function<void()> action) {
    backend().AtTime(at_ms, "answer", std::move(action));
  }
  // The alert's two fields as shown.
  std::pair<std::string, std::string> Shown() {
    return {alert().lblAlertFileName.Caption(), alert().lblAlertCompanyName.Caption()};
  }

  hg_test::AppFixture fixture_;
};

TEST_F(MemoryShieldTest, TwoDetectionsGiveTwoAlertsInTurnAndStopEndsExactlyThoseProcesses) {
  // Started first, so a stop by file name would find it before the detected program.
  hg_test::TestProcess same_name(Host("C:\\Other\\EVILAPP.EXE"));
  hg_test::TestProcess evil(Host(kEvilPath), 30, hg_test::FileWithCompany("Evil Co Inc"));
  hg_test::TestProcess second(Host("C:\\WINDOWS\\second.exe"));

  std::vector<std::pair<std::string, std::string>> shown;
  At(20000, [&] {
    shown.push_back(Shown());
    alert().cmdYes.UserClick();
  });
  At(30000, [&] {
    shown.push_back(Shown());
    EXPECT_EQ(app().shields.last_alert_serial, 2u);
    alert().cmdYes.UserClick();
  });
  backend().AdvanceMs(10000);

  std::sort(shown.begin(), shown.end());
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"EVILAPP.EXE", "EVIL CO INC"}, {"SECOND.EXE", "No Company name for SECOND.EXE"}};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(evil.WaitKilled());
  EXPECT_TRUE(second.WaitKilled());
  EXPECT_TRUE(hg_test::IsAlive(same_name.pid()));
  EXPECT_FALSE(app().frmSpywareFoundAlert.Loaded());
  EXPECT_FALSE(app().shields.bShieldTickRunning);
  EXPECT_TRUE(app().frmMain.tmrMemoryInspected.Enabled());
}

TEST_F(MemoryShieldTest, AllowListsTheProgramAndTheNextScanLogsItExcluded) {
  hg_test::TestProcess evil(Host(kEvilPath));
  At(15000, [&] {
    alert().lblAlertFileName.SetCaption("  " + alert().lblAlertFileName.Caption() + " ");
    alert().cmdNO.UserClick();
  });
  backend().AdvanceMs(10000);
  EXPECT_EQ(IgnoreFile(), "EVILAPP.EXE\r\n");
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));

  // The next tick asks nothing (a wait would stall the headless clock).
  backend().AdvanceMs(10000);
  EXPECT_EQ(app().shields.last_alert_serial, 1u);

  app().frmMain.cmdScan.SetEnabled(false);
  app().frmMain.cmdScanNow.SetEnabled(false);
  engine::InspectMemory(app(), engine::AlertAndStopProcess);
  model::RowView<model::ScanLogRow> log(app().frmMain.lvwSpywareFound);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log[0].message, "EXCLUDED: EVILAPP.EXE");
}

// Ways an alert goes without STOP or ALLOW; none touches the program or the ignore list, and
// each ends the shield's wait.
struct Leaving {
  const char* name;
  std::function<void(model::App&)> leave;
};

class AlertLeftTest : public MemoryShieldTest, public ::testing::WithParamInterface<Leaving> {};

TEST_P(AlertLeftTest, EndsTheWaitWithNothingDone) {
  hg_test::TestProcess evil(Host(kEvilPath));
  At(15000, [&] { GetParam().leave(app()); });
  backend().AdvanceMs(10000);
  EXPECT_FALSE(app().frmSpywareFoundAlert.Loaded());
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
  EXPECT_EQ(IgnoreFile(), "");
  EXPECT_FALSE(app().shields.bShieldTickRunning);
  EXPECT_EQ(app().shields.memory_alert.serial, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AlertLeftTest,
    ::testing::Values(
        Leaving{"CloseBox", [](model::App& app) { app.frmSpywareFoundAlert->UserClose(); }},
        Leaving{"UnloadedByTheProgram", [](model::App& app) { app.frmSpywareFoundAlert.Unload(); }},
        // Another window clearing the shared flag in the same pass as the close.
        Leaving{"CloseThenFlagCleared",
                [](model::App& app) {
                  app.frmSpywareFoundAlert->UserClose();
                  app.shields.bAlertAnswered = false;
                }}),
    [](const ::testing::TestParamInfo<Leaving>& param) { return param.param.name; });

TEST_F(MemoryShieldTest, WhileAnAlertWaitsNoOtherTickOrScanStarts) {
  hg_test::TestProcess evil(Host(kEvilPath));
  // The group switched on meanwhile, and a tick of the other shield; a stale flag from
  // elsewhere is not this alert's answer.
  At(11000, [&] {
    app().shields.bAlertAnswered = true;
    model::ApplyTimerSettings(app(), true);
    engine::tmrMemoryInspected_Timer(app());
  });
  At(35000, [&] {
    EXPECT_TRUE(app().frmSpywareFoundAlert.Loaded());
    backend().ExpectMsgBox(services::vbOK, "The protection is waiting for your answer.");
    ui::cmdScanNow_Click(app());
    alert().cmdYes.UserClick();
  });
  backend().AdvanceMs(10000);

  EXPECT_EQ(app().shields.last_alert_serial, 1u);
  EXPECT_TRUE(backend().PromptsUsedUp());
  EXPECT_TRUE(evil.WaitKilled());
}

TEST_F(MemoryShieldTest, TicksEveryTenSecondsAndNotDuringAScan) {
  hg_test::TestProcess evil(Host(kEvilPath));
  std::vector<int64_t> runs;
  app().frmMain.tmrMemoryInspected.on_timer = [&] {
    runs.push_back(backend().NowMs());
    engine::tmrMemoryInspected_Timer(app());
  };
  // A scan runs: the shield leaves the program to the scan's own stage.
  app().frmMain.cmdScan.SetEnabled(false);
  app().frmMain.cmdScanNow.SetEnabled(false);
  backend().AdvanceMs(30000);
  EXPECT_EQ(runs, (std::vector<int64_t>{10000, 20000, 30000}));
  EXPECT_EQ(app().shields.last_alert_serial, 0u);

  engine::InspectMemory(app(), engine::AlertAndStopProcess);
  EXPECT_TRUE(evil.WaitKilled());
  model::RowView<model::ScanLogRow> log(app().frmMain.lvwSpywareFound);
  ASSERT_EQ(log.Count(), 1);
  EXPECT_EQ(log[0].message, "Detected in the memory : EVILAPP.EXE was stopped from running.");
  EXPECT_EQ(app().shields.last_alert_serial, 0u);
}

class UnkillableMemoryShieldTest : public MemoryShieldTest {
 protected:
  UnkillableMemoryShieldTest() : MemoryShieldTest(true) {}
};

TEST_F(UnkillableMemoryShieldTest, StopDisablesBothButtonsAndSaysWhenTheProgramSurvives) {
  hg_test::TestProcess evil(Host(kEvilPath));
  bool buttons_enabled = true;
  At(15000, [&] {
    backend().ExpectMsgBox(services::vbOK,
                           "EVILAPP.EXE could not be stopped.  You should try again after saving "
                           "your work and closing any open applications.",
                           1000);
    alert().cmdYes.UserClick();
  });
  // Delivered while the message box is open.
  At(15500, [&] { buttons_enabled = alert().cmdYes.Enabled() || alert().cmdNO.Enabled(); });
  backend().AdvanceMs(10000);
  EXPECT_FALSE(buttons_enabled);
  EXPECT_TRUE(backend().PromptsUsedUp());
  ASSERT_EQ(backend().MessageBoxes().size(), 1u);
  EXPECT_EQ(backend().MessageBoxes()[0].title, "Hearthguard");
  EXPECT_EQ(backend().MessageBoxes()[0].style, services::vbInformation);
  EXPECT_FALSE(app().frmSpywareFoundAlert.Loaded());
  EXPECT_EQ(IgnoreFile(), "");
  EXPECT_TRUE(hg_test::IsAlive(evil.pid()));
}

TEST_F(MemoryShieldTest, AnAlertWithoutADetectionEndsNothingAndListsNoBlankLine) {
  hg_test::TestProcess spyware(Host("C:\\Spyware.exe"));
  app().frmSpywareFoundAlert->Show();
  alert().cmdYes.UserClick();
  EXPECT_TRUE(hg_test::IsAlive(spyware.pid()));
  EXPECT_TRUE(backend().MessageBoxes().empty());

  app().frmSpywareFoundAlert->lblAlertFileName.SetCaption("   ");
  alert().cmdNO.UserClick();
  EXPECT_EQ(IgnoreFile(), "");
  app().frmSpywareFoundAlert->Show();
  alert().cmdNO.UserClick();
  EXPECT_EQ(IgnoreFile(), "Spyware.exe\r\n");
}

}  // namespace
