#include <gtest/gtest.h>

#include "test_window.h"

namespace forms_test {
namespace {

using forms::Timer;

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.Load();
    window.tmrTick.on_timer = [this] { ++ticks; };
  }

  Headless h;
  TestWindow window{h.runtime, "frmTimers"};
  int ticks = 0;
};

TEST_F(TimerTest, TicksEveryIntervalWhileEnabled) {
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(1000);
  EXPECT_EQ(ticks, 10);
  window.tmrTick.SetEnabled(false);
  h.backend.AdvanceMs(1000);
  EXPECT_EQ(ticks, 10);
}

TEST_F(TimerTest, IntervalZeroNeverTicks) {
  window.tmrTick.SetInterval(0);
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(10000);
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(h.runtime.IsTimerActive(window.tmrTick));
}

TEST_F(TimerTest, OffThenOnRestartsTheCountdown) {
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(60);
  window.tmrTick.SetEnabled(false);
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(60);  // 120 ms since the start, 60 since the restart
  EXPECT_EQ(ticks, 0);
  h.backend.AdvanceMs(40);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, OnWhileOnKeepsTheCountdown) {
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(60);
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(40);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, ChangingTheIntervalRestartsTheCountdown) {
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(60);
  window.tmrTick.SetInterval(50);
  h.backend.AdvanceMs(40);
  EXPECT_EQ(ticks, 0);
  h.backend.AdvanceMs(10);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, TicksMissedWhileBusyMergeIntoOne) {
  window.tmrTick.SetEnabled(true);
  h.backend.PassMs(550);  // five and a half intervals without a yield
  EXPECT_EQ(ticks, 0);
  h.runtime.Yield();
  EXPECT_EQ(ticks, 1);
  h.runtime.Yield();
  EXPECT_EQ(ticks, 1);
  // The countdown started again at the merged tick.
  h.backend.AdvanceMs(99);
  EXPECT_EQ(ticks, 1);
  h.backend.AdvanceMs(1);
  EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, HandlerThatYieldsIsNeverReentered) {
  int depth = 0;
  int max_depth = 0;
  int other_ticks = 0;
  Timer tmrOther(window, "tmrOther");
  tmrOther.SetInterval(10);
  tmrOther.on_timer = [&] { ++other_ticks; };
  window.tmrTick.on_timer = [&] {
    ++ticks;
    ++depth;
    max_depth = std::max(max_depth, depth);
    // A long task that yields as it goes: 1000 ms of work, ten intervals of this timer.
    for (int i = 0; i < 100; ++i) {
      h.backend.PassMs(10);
      h.runtime.Yield();
    }
    --depth;
  };
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(max_depth, 1);
  // Other timers keep ticking under the yields.
  EXPECT_GE(other_ticks, 100);
  // The ticks due during the handler were dropped, not queued: one interval later, one tick.
  h.backend.AdvanceMs(100);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(max_depth, 1);
}

TEST_F(TimerTest, DueTicksRunInTimeOrder) {
  std::string order;
  Timer tmrFast(window, "tmrFast");
  tmrFast.SetInterval(30);
  tmrFast.on_timer = [&] { order += 'f'; };
  window.tmrTick.SetInterval(40);
  window.tmrTick.on_timer = [&] { order += 's'; };
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(120);
  // f at 30, 60, 90, 120; s at 40, 80, 120, where it runs first as it was made first.
  EXPECT_EQ(order, "fsfsfsf");
}

TEST_F(TimerTest, TimersOfAnUnloadedWindowStopAndStartFromTheDesignAtReload) {
  window.tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(100);
  EXPECT_EQ(ticks, 1);
  window.Unload();
  h.backend.AdvanceMs(1000);
  EXPECT_EQ(ticks, 1);
  window.Load();  // designed disabled
  EXPECT_FALSE(window.tmrTick.Enabled());
  h.backend.AdvanceMs(1000);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace forms_test
