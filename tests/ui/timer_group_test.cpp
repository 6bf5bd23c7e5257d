// The main window's timers and the group switch.

#include "model/timer_group.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

struct GroupState {
  bool scheduler;
  bool home_page;
  bool memory;
  friend bool operator==(const GroupState&, const GroupState&) = default;
};

std::ostream& operator<<(std::ostream& out, const GroupState& s) {
  return out << "{scheduler " << s.scheduler << ", home page " << s.home_page << ", memory "
             << s.memory << "}";
}

GroupState StateOf(model::FrmMain& main) {
  return {main.tmrScheduler.Enabled(), main.tmrCheckHomePage.Enabled(),
          main.tmrMemoryInspected.Enabled()};
}

TEST(MainWindowTimers, DesignIntervalsAndStates) {
  AppFixture h;
  model::FrmMain& main = h.main();
  struct Row {
    forms::Timer& timer;
    int64_t interval;
    bool enabled;
  };
  // The group starts off: nothing may tick before the options are loaded.
  const Row rows[] = {
      {main.tmrScheduler, 10, false},
      {main.tmrCheckHomePage, 5000, false},
      {main.tmrMemoryInspected, 10000, false},
      {main.tmrTimeOut, 30000, true},
      {main.tmrScroll, 200, true},
      {main.timUpdate, 1000, false},
      {main.tmrTime, 1000, true},
      {main.tmrCheckSignature, 60000, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.timer.name());
    EXPECT_EQ(row.timer.Interval(), row.interval);
    EXPECT_EQ(row.timer.Enabled(), row.enabled);
  }
}

TEST(MainWindowTimers, GroupDoesNotTickAfterLoadUntilSwitchedOn) {
  AppFixture h;
  model::FrmMain& main = h.main();
  int ticks = 0;
  for (forms::Timer* timer : {&main.tmrScheduler, &main.tmrCheckHomePage, &main.tmrMemoryInspected})
    timer->on_timer = [&ticks] { ++ticks; };
  main.Load();
  h.backend.AdvanceMs(20000);
  EXPECT_EQ(ticks, 0);

  model::ApplyTimerSettings(h.app(), true);
  h.backend.AdvanceMs(10000);
  EXPECT_GT(ticks, 0);
}

TEST(TimerGroup, SwitchOnFollowsTheStoredOptions) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> saved;
    GroupState expected;
  };
  const Case cases[] = {
      {"nothing saved", {}, {false, true, true}},
      {"scheduler only",
       {{"chkAutomaticScanYesOrNo", "1"},
        {"optIEHomePageSheildOn", "False"},
        {"optMemorySheildOn", "False"}},
       {true, false, false}},
      {"any number but 0 runs the scheduler",
       {{"chkAutomaticScanYesOrNo", "2"}},
       {true, true, true}},
      {"scheduler value with blanks", {{"chkAutomaticScanYesOrNo", " 1 "}}, {true, true, true}},
      {"scheduler 0", {{"chkAutomaticScanYesOrNo", "0"}}, {false, true, true}},
      {"scheduler not a number", {{"chkAutomaticScanYesOrNo", "yes"}}, {false, true, true}},
      {"scheduler empty", {{"chkAutomaticScanYesOrNo", ""}}, {false, true, true}},
      {"truth values ignore case",
       {{"optIEHomePageSheildOn", "false"}, {"optMemorySheildOn", "FALSE"}},
       {false, false, false}},
      {"numbers as truth values",
       {{"optIEHomePageSheildOn", "0"}, {"optMemorySheildOn", "-1"}},
       {false, false, true}},
      {"shield values that are not truth values run the shields",
       {{"optIEHomePageSheildOn", "maybe"}, {"optMemorySheildOn", ""}},
       {false, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppFixture h;
    for (const auto& [key, value] : c.saved)
      h.Save(model::kOptionsSection, key, value);
    model::ApplyTimerSettings(h.app(), true);
    EXPECT_EQ(StateOf(h.main()), c.expected);
  }
}

TEST(TimerGroup, OptionsAreReadAfreshAtEverySwitch) {
  AppFixture h;
  model::ApplyTimerSettings(h.app(), true);
  EXPECT_EQ(StateOf(h.main()), (GroupState{false, true, true}));
  h.Save(model::kOptionsSection, "optMemorySheildOn", "False");
  h.Save(model::kOptionsSection, "chkAutomaticScanYesOrNo", "1");
  model::ApplyTimerSettings(h.app(), true);
  EXPECT_EQ(StateOf(h.main()), (GroupState{true, true, false}));
}

TEST(TimerGroup, SwitchingOnTwiceKeepsTheCountdown) {
  AppFixture h;
  model::FrmMain& main = h.main();
  int ticks = 0;
  main.tmrCheckHomePage.on_timer = [&ticks] { ++ticks; };
  main.Load();
  model::ApplyTimerSettings(h.app(), true);
  h.backend.AdvanceMs(3000);
  model::ApplyTimerSettings(h.app(), true);
  h.backend.AdvanceMs(2000);
  // A restarted countdown would not have ticked yet.
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(StateOf(main), (GroupState{false, true, true}));
}

TEST(TimerGroup, OffStopsTheGroupAndTheTimeOutAndOnLeavesTheTimeOutOff) {
  AppFixture h;
  model::FrmMain& main = h.main();
  model::ApplyTimerSettings(h.app(), true);
  main.timUpdate.SetEnabled(true);
  ASSERT_TRUE(main.tmrTimeOut.Enabled());
  ASSERT_TRUE(main.tmrScroll.Enabled());

  model::ApplyTimerSettings(h.app(), false);
  EXPECT_EQ(StateOf(main), (GroupState{false, false, false}));
  EXPECT_FALSE(main.tmrTimeOut.Enabled());

  model::ApplyTimerSettings(h.app(), true);
  EXPECT_EQ(StateOf(main), (GroupState{false, true, true}));
  EXPECT_FALSE(main.tmrTimeOut.Enabled());
  // Neither direction touches the scroll tick or the automatic update.
  EXPECT_TRUE(main.tmrScroll.Enabled());
  EXPECT_TRUE(main.timUpdate.Enabled());
}

TEST(TimerGroup, OnRestoresTheOptionsNotThePreviousState) {
  AppFixture h;
  model::FrmMain& main = h.main();
  model::ApplyTimerSettings(h.app(), true);
  // Stopped by something else (the resize at normal size, say).
  main.tmrMemoryInspected.SetEnabled(false);
  model::ApplyTimerSettings(h.app(), false);
  model::ApplyTimerSettings(h.app(), true);
  EXPECT_TRUE(main.tmrMemoryInspected.Enabled());
}

TEST(ShowPanels, EveryCombinationOfFlagsStopsOnlyTheScrollTick) {
  AppFixture h;
  model::FrmMain& main = h.main();
  model::ApplyTimerSettings(h.app(), true);
  const GroupState before = StateOf(main);
  for (int flags = 0; flags < 16; ++flags) {
    SCOPED_TRACE(flags);
    main.tmrScroll.SetEnabled(true);
    model::ShowPanels(h.app(), flags & 1, flags & 2, flags & 4, flags & 8);
    EXPECT_FALSE(main.tmrScroll.Enabled());
    EXPECT_EQ(StateOf(main), before);
    EXPECT_TRUE(main.frmStatus.Visible());
    EXPECT_FALSE(main.frmScan.Visible());
  }
}

TEST(ScrollTick, YieldsToTheMessageLoopOnce) {
  AppFixture h;
  model::FrmMain& main = h.main();
  main.Load();
  // The pass that runs the tick is the first; the tick's own yield is the second.
  bool delivered_inside_tick = false;
  h.backend.AtYield(2, "user action", [&] { delivered_inside_tick = main.tmrScroll.Running(); });
  h.backend.AdvanceMs(200);
  EXPECT_TRUE(delivered_inside_tick);
}

}  // namespace
