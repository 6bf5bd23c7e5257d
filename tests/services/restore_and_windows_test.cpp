#include <gtest/gtest.h>

#include <vector>

#include "machine/machine.h"
#include "machine/restore_points.h"
#include "services/restore_bracket.h"
#include "services/window_helpers.h"
#include "support/temp_machine.h"

namespace services {
namespace {

class RestoreBracketTest : public ::testing::Test {
 protected:
  void Open(machine::OsFamily family, int major, int minor) {
    machine::Profile profile = temp_.profile();
    profile.os_family = family;
    profile.os_major = major;
    profile.os_minor = minor;
    auto points = std::make_unique<machine::RecordingRestorePoints>();
    points_ = points.get();
    machine::MachineParts parts;
    parts.restore_points = std::move(points);
    std::string error;
    machine_ = std::make_unique<machine::Machine>(profile, machine::VersionInfo{}, std::move(parts),
                                                  error);
    ASSERT_TRUE(machine_->ok()) << error;
    system_ = std::make_unique<System>(*machine_);
  }

  hg_test::TempMachine temp_;
  machine::RecordingRestorePoints* points_ = nullptr;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

TEST_F(RestoreBracketTest, AvailabilityFollowsTheOsVersion) {
  struct Case {
    machine::OsFamily family;
    int major, minor;
    bool available;
  };
  const std::vector<Case> cases = {
      {machine::OsFamily::kNt, 5, 0, false},    {machine::OsFamily::kNt, 5, 1, true},
      {machine::OsFamily::kNt, 5, 2, false},    {machine::OsFamily::kNt, 6, 0, true},
      {machine::OsFamily::kWin9x, 4, 90, true}, {machine::OsFamily::kWin9x, 4, 10, false},
  };
  for (const Case& c : cases) {
    Open(c.family, c.major, c.minor);
    EXPECT_EQ(IsSystemRestoreAvailable(*system_), c.available) << c.major << "." << c.minor;
  }
}

TEST_F(RestoreBracketTest, SecondBeginWhileOpenRaisesAndKeepsTheFirst) {
  Open(machine::OsFamily::kNt, 5, 1);
  ASSERT_TRUE(BeginRestorePoint(*system_, "Removal", 12));
  const int64_t first = system_->lngRestoreSequence;
  EXPECT_NE(first, 0);
  try {
    BeginRestorePoint(*system_, "Again", 12);
    FAIL() << "no error raised";
  } catch (const RestorePointError& e) {
    EXPECT_EQ(e.number(), 100001);
    EXPECT_STREQ(e.what(), "You must End the previous restore point first.");
  }
  EXPECT_EQ(system_->lngRestoreSequence, first);
  EXPECT_EQ(points_->calls().size(), 1u);

  EXPECT_TRUE(EndRestorePoint(*system_));
  EXPECT_EQ(system_->lngRestoreSequence, 0);
  EXPECT_EQ(points_->calls().back().event_type, machine::kEndSystemChange);
  EXPECT_EQ(points_->calls().back().sequence, first);
}

TEST_F(RestoreBracketTest, RefusedBeginKeepsNothingAndEndWithoutBeginPassesZero) {
  Open(machine::OsFamily::kNt, 5, 1);
  points_->RefuseBegin(true);
  EXPECT_FALSE(BeginRestorePoint(*system_, "Removal", 12));
  EXPECT_EQ(system_->lngRestoreSequence, 0);
  EndRestorePoint(*system_);
  EXPECT_EQ(points_->calls().back().sequence, 0);
  EXPECT_EQ(system_->lngRestoreSequence, 0);
}

// Records what the window system was asked to do.
class RecordingWindows : public WindowManager {
 public:
  bool IsMainWindowVisible() const override { return visible; }
  void LockWindowUpdate(WindowHandle window) override { locks.push_back(window); }
  void SetWindowZOrder(WindowHandle window, WindowHandle after) override {
    z_orders.push_back({window, after});
  }
  bool visible = true;
  std::vector<WindowHandle> locks;
  std::vector<std::pair<WindowHandle, WindowHandle>> z_orders;
};

TEST_F(RestoreBracketTest, RedrawLockActsOnlyWhileTheMainWindowIsVisible) {
  Open(machine::OsFamily::kNt, 5, 1);
  RecordingWindows windows;
  system_->windows = &windows;
  LockWindow(*system_, 42, true);
  LockWindow(*system_, 42, false);
  EXPECT_EQ(windows.locks, (std::vector<WindowHandle>{42, 0}));

  windows.visible = false;  // in the tray
  LockWindow(*system_, 42, true);
  EXPECT_EQ(windows.locks.size(), 2u);

  SetTopMost(*system_, 7, true);
  SetTopMost(*system_, 7, false);
  ASSERT_EQ(windows.z_orders.size(), 2u);
  EXPECT_EQ(windows.z_orders[0].second, kTopMost);
  EXPECT_EQ(windows.z_orders[1].second, kNotTopMost);
}

}  // namespace
}  // namespace services
