// The scheduler in virtual time: the machine's clock follows the headless backend's, so the
// 10 ms tick meets the clock as it would in a running program.

#include "ui/main/scheduler.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/timer_group.h"
#include "services/prompts.h"
#include "support/app_fixture.h"
#include "support/planted_scan.h"
#include "ui/main/scan_controls.h"

namespace {

// Monday, 7 December 2026, two seconds before the schedules below.
constexpr machine::DateTime kStart{2026, 12, 7, 14, 29, 58};
constexpr int64_t kStartMs = 0;
constexpr const char* kAtHalfPast = "2:30:00 PM";

class VirtualClock final : public machine::Clock {
 public:
  machine::DateTime Now() const override { return start.AddSeconds(MonotonicMs() / 1000); }
  int64_t MonotonicMs() const override { return backend ? backend->NowMs() : 0; }

  machine::DateTime start = kStart;
  const forms::HeadlessBackend* backend = nullptr;
};

class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_->backend = &h.backend;
    hg_test::InstallSampleDefinitions(app());
    ui::InstallScanControls(app());
    ui::InstallScheduler(app());
    w().Show();
    w().frmScan.SetVisible(true);
    // Each scan's end writes the report: it counts the scans.
    w().chkMakeLog.SetValue(forms::kChecked);
    app().hooks.MakeReport = [this] { calls_.push_back("scan"); };
    w().cmdRemove.on_click = [this] { calls_.push_back("results page"); };
    w().cmdSelectAll.on_click = [this] { calls_.push_back("select all"); };
    w().Command4.on_click = [this] {
      calls_.push_back(app().scan.bAutoDeleteAfterScan ? "remove unasked" : "remove asked");
    };
    Save("optIEHomePageSheildOn", "False");
    Save("optMemorySheildOn", "False");
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }

  machine::MachineParts Parts() {
    auto clock = std::make_unique<VirtualClock>();
    clock_ = clock.get();
    machine::MachineParts parts;
    parts.clock = std::move(clock);
    return parts;
  }

  // A schedule as Apply leaves it, with the timer group switched on.
  void Schedule(const std::string& day, const std::string& time, const std::string& date,
                bool auto_delete = false) {
    Save("chkAutomaticScanYesOrNo", "1");
    Save("Day", day);
    Save("Time", time);
    Save("Date", date);
    w().chkAutoDel.SetValue(auto_delete ? forms::kChecked : forms::kUnchecked);
    model::ApplyTimerSettings(app(), true);
  }

  void Save(std::string_view key, std::string_view value) {
    h.Save(model::kOptionsSection, key, value);
  }
  std::string Stored(std::string_view key) {
    return services::ReadSetting(app().system, app().SettingsApplication(), model::kOptionsSection,
                                 key, "(none)");
  }
  int Scans() const { return static_cast<int>(std::count(calls_.begin(), calls_.end(), "scan")); }
  model::App& app() { return h.app(); }
  model::FrmMain& w() { return h.main(); }

  VirtualClock* clock_ = nullptr;
  hg_test::AppFixture h{{}, hg_test::TestVersionInfo(), Parts()};
  std::vector<std::string> calls_;
};

struct DayCase {
  const char* name;
  const char* day;
  const char* time;
  const char* date;
  const char* locale;
  int scans;
};

class ScheduleDayTest : public SchedulerTest, public ::testing::WithParamInterface<DayCase> {};

TEST_P(ScheduleDayTest, StartsOnlyWhenItsDayAndSecondCome) {
  const DayCase& c = GetParam();
  // The process may run in another language while the scheduler compares days.
  if (c.locale) {
    ASSERT_NE(std::setlocale(LC_ALL, c.locale), nullptr) << c.locale;
  }
  Schedule(c.day, c.time, c.date);
  h.backend.AdvanceMs(6000);
  EXPECT_EQ(Scans(), c.scans);
  EXPECT_TRUE(w().tmrScheduler.Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Days, ScheduleDayTest,
    ::testing::Values(DayCase{"Monday", "0", kAtHalfPast, "Null", nullptr, 1},
                      DayCase{"MondayInGerman", "0", kAtHalfPast, "Null", "de_DE.UTF-8", 1},
                      DayCase{"TuesdayOnAMonday", "1", kAtHalfPast, "Null", nullptr, 0},
                      DayCase{"SundayOnAMonday", "6", kAtHalfPast, "Null", "de_DE.UTF-8", 0},
                      DayCase{"Daily", "7", "11/2/2020 2:30:00 PM", "Null", nullptr, 1},
                      DayCase{"OnItsDate", "8", kAtHalfPast, "12/7/2026", nullptr, 1},
                      DayCase{"OnAnotherDate", "8", kAtHalfPast, "12/8/2026", nullptr, 0},
                      DayCase{"Never", "9", kAtHalfPast, "12/7/2026", nullptr, 0},
                      DayCase{"NullTimeNeverMatches", "7", "Null", "Null", nullptr, 0},
                      DayCase{"ADayThatIsNoNumberIsMonday", "x", kAtHalfPast, "Null", nullptr, 1},
                      DayCase{"AnotherSecond", "7", "2:30:30 PM", "Null", nullptr, 0}),
    [](const ::testing::TestParamInfo<DayCase>& param_info) {
      return std::string(param_info.param.name);
    });

TEST_F(SchedulerTest, AScanWithinOneSecondIsNotStartedAgainButTheNextDayIs) {
  // The scan takes no virtual time: it ends in the second it started in.
  Schedule("7", kAtHalfPast, "Null");
  h.backend.AdvanceMs(4000);
  EXPECT_EQ(Scans(), 1);

  clock_->start = kStart.AddSeconds(24 * 60 * 60 - 4);
  h.backend.AdvanceMs(4000);
  EXPECT_EQ(Scans(), 2);
}

TEST_F(SchedulerTest, OnlyTheScheduledScanRemovesUnasked) {
  const std::vector<std::string> scheduled = {"scan", "results page", "select all",
                                              "remove unasked"};
  Schedule("7", kAtHalfPast, "Null", /*auto_delete=*/true);
  h.backend.AdvanceMs(4000);
  EXPECT_EQ(calls_, scheduled);
  EXPECT_FALSE(app().scan.bAutoDeleteAfterScan);

  // A scan started by hand afterwards ends without the removal.
  ASSERT_TRUE(w().cmdScanNow.UserClick());
  std::vector<std::string> expected = scheduled;
  expected.push_back("scan");
  EXPECT_EQ(calls_, expected);
}

TEST_F(SchedulerTest, ATimeThatFallsDuringAScanIsMissed) {
  Schedule("7", kAtHalfPast, "Null");
  h.backend.SetMsPerYield(100);
  int64_t scan_end_ms = 0;
  app().hooks.MakeReport = [&] {
    calls_.push_back("scan");
    scan_end_ms = h.backend.NowMs();
  };
  h.backend.AtTime(kStartMs + 1000, "Start by hand", [&] { w().cmdScanNow.UserClick(); });
  h.backend.AdvanceMs(1000);
  ASSERT_GT(scan_end_ms, kStartMs + 3000) << "the scan ran past the scheduled second";
  h.backend.AdvanceMs(3000);
  EXPECT_EQ(Scans(), 1);
  EXPECT_TRUE(w().tmrScheduler.Enabled());
}

struct LongTaskCase {
  const char* name;
  std::function<void(model::App&)> begin;
};

class LongTaskTest : public SchedulerTest, public ::testing::WithParamInterface<LongTaskCase> {};

TEST_P(LongTaskTest, ATickInsideItDoesNothing) {
  // A task runs (one that a scheduled scan started has the removal flag set) when the options
  // switch the scheduler on with its second due.
  Schedule("7", kAtHalfPast, "Null", /*auto_delete=*/true);
  GetParam().begin(app());
  app().scan.bAutoDeleteAfterScan = true;
  w().chkAutomaticScanYesOrNo.SetValue(forms::kChecked);
  ASSERT_TRUE(w().tmrScheduler.Enabled());
  h.backend.AdvanceMs(4000);

  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(app().scan.bAutoDeleteAfterScan) << "the running task's flag was cleared";
  EXPECT_FALSE(app().scan.scheduled_start_second);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, LongTaskTest,
    ::testing::Values(
        LongTaskCase{"Scan",
                     [](model::App& app) {
                       app.frmMain.cmdScanNow.SetEnabled(false);
                       app.frmMain.cmdScan.SetEnabled(false);
                     }},
        LongTaskCase{"Removal", [](model::App& app) { app.scan.bRemovalRunning = true; }},
        LongTaskCase{"LiveUpdate", [](model::App& app) { app.scan.bLiveUpdateRunning = true; }},
        LongTaskCase{"ShieldTick", [](model::App& app) { app.shields.bShieldTickRunning = true; }}),
    [](const ::testing::TestParamInfo<LongTaskCase>& param_info) {
      return std::string(param_info.param.name);
    });

TEST_F(SchedulerTest, ApplyRefusesADateScheduleWithoutADateAndKeepsTheEdits) {
  w().chkAutomaticScanYesOrNo.SetValue(forms::kChecked);
  w().cmbDays.SetListIndex(8);
  w().dtpScheduleTime.SetValue(machine::DateTime{1899, 12, 30, 14, 30, 0});
  w().dtpScheduleDate.SetEmpty();
  w().tmrScheduler.SetEnabled(false);
  h.backend.ExpectMsgBox(services::vbOK, std::string(ui::kScheduleNoDateMessage));
  ui::CmdProceed_Click(app());

  const auto stored = [&] {
    return std::vector{Stored("chkAutomaticScanYesOrNo"), Stored("Day"), Stored("Time"),
                       Stored("Date")};
  };
  EXPECT_TRUE(h.backend.PromptsUsedUp());
  EXPECT_EQ(h.backend.MessageBoxes().at(0).style, services::vbInformation);
  EXPECT_EQ(stored(), std::vector<std::string>(4, "(none)"));
  EXPECT_FALSE(w().tmrScheduler.Enabled());
  EXPECT_EQ(w().cmbDays.ListIndex(), 8);
  EXPECT_TRUE(w().CmdProceed.Enabled());

  // With the date given, Apply saves, switches the scheduler on and has nothing left to apply.
  w().dtpScheduleDate.SetValue(machine::DateTime{2026, 12, 24});
  ui::CmdProceed_Click(app());
  EXPECT_EQ(stored(), (std::vector<std::string>{"1", "8", "2:30:00 PM", "12/24/2026"}));
  EXPECT_TRUE(w().tmrScheduler.Enabled());
  EXPECT_FALSE(w().CmdProceed.Enabled());
}

}  // namespace
