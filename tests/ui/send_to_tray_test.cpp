// Sending the main window to the tray and back in virtual time, with a recording tray: the
// tray menu's place, slides and idle seconds, the tray messages, "Show Program" and "Exit
// Program", and a desktop without a tray area.

#include "ui/main/send_to_tray.h"

#include <gtest/gtest.h>

#include <string>

#include "menus_fixture.h"
#include "model/timer_group.h"
#include "services/settings_store.h"

namespace {

class SendToTrayTest : public ::testing::Test {
 protected:
  SendToTrayTest() {
    // As the layout does: a minimised main window gives up its taskbar button.
    f.main().on_resize = [this] {
      if (f.main().GetWindowState() == forms::WindowState::kMinimized)
        f.app().runtime.SetTaskVisible(false);
    };
  }

  std::string Read(std::string_view section, std::string_view key) {
    return services::ReadSetting(f.app().system, "Hearthguard", section, key, "(none)");
  }
  void SendToTray() {
    ASSERT_TRUE(f.main().Command5.UserClick());
    f.h.backend.AdvanceMs(10000);  // the tray menu has been and gone
    ASSERT_FALSE(f.app().frmMenuPopUp.Loaded());
  }
  void Tray(int message) { f.app().objTray.TrayMouseMessage(f.main().hWnd(), message); }

  hg_test::MenusFixture f;
  forms::HeadlessBackend& backend = f.h.backend;
  model::FrmMenuPopUp& menu = f.menu();
};

TEST_F(SendToTrayTest, SendingHidesTheWindowBehindItsIconAndShowsTheMenuOnce) {
  ASSERT_TRUE(f.main().Command5.UserClick());
  EXPECT_EQ(f.main().GetWindowState(), forms::WindowState::kMinimized);
  EXPECT_FALSE(f.main().Visible());
  EXPECT_FALSE(f.app().runtime.TaskVisible());
  EXPECT_EQ(f.tray.tips[f.main().hWnd()], "Hearthguard");
  EXPECT_EQ(Read("Settings", "Minimized"), "Yes");
  ASSERT_TRUE(f.app().frmMenuPopUp.Loaded());
  EXPECT_TRUE(menu.Visible());
  EXPECT_TRUE(menu.mnuMaxmimaize.Enabled());
}

// Headless: a 1024 x 768 screen with a 30-pixel taskbar; the menu is 2700 x 2100 twips. It
// starts at the taskbar's edge, rises 80 twips a millisecond until at or above 11136 - 2200,
// rests six idle seconds (a mouse move over it starts them again), then sinks 100 twips every
// 10 ms until its top is below 768 x 15 - 2000 and unloads.
TEST_F(SendToTrayTest, TheMenuRisesRestsAndSinks) {
  f.app().frmMenuPopUp->Show();
  EXPECT_EQ(menu.Caption(), "Hearthguard");
  EXPECT_EQ(menu.lblName.Caption(), "Hearthguard");
  EXPECT_FALSE(menu.mnuMaxmimaize.Enabled());  // the main window is on screen
  EXPECT_EQ(menu.Top(), 11136 - 435);
  EXPECT_DOUBLE_EQ(menu.Left(), (1024 - 180) * 14.7);
  EXPECT_EQ(menu.placement.lngTargetTop, 8936);
  backend.AdvanceMs(23);  // 23 steps up to 8861, 75 twips above the target
  EXPECT_EQ(menu.Top(), 8861);
  EXPECT_FALSE(menu.TmrEnablePopDown.Enabled());
  backend.AdvanceMs(1);
  EXPECT_TRUE(menu.TmrEnablePopDown.Enabled());
  EXPECT_FALSE(menu.tmrMenuPopup.Enabled());

  backend.AdvanceMs(5500);
  ASSERT_TRUE(menu.UserMouseMove({}));
  backend.AdvanceMs(5000);
  EXPECT_EQ(menu.lngIdleCount, 5);
  EXPECT_EQ(menu.Top(), 8861);
  backend.AdvanceMs(500 + 60);  // the sixth idle second, then 6 steps down
  EXPECT_EQ(menu.Top(), 9461);
  EXPECT_TRUE(f.app().frmMenuPopUp.Loaded());
  backend.AdvanceMs(10);
  EXPECT_FALSE(f.app().frmMenuPopUp.Loaded());
}

// Only the icon's own clicks count: a left press or right release shows the menu, a
// double-click restores the window (the menu, hidden, comes back with its next slide step),
// other messages and mouse moves over the window do nothing.
TEST_F(SendToTrayTest, TrayMessagesShowTheMenuOrRestoreTheWindow) {
  struct Case {
    int message;
    bool menu;
    bool restored;
  };
  const Case cases[] = {
      {513, true, false},  {514, false, false}, {515, true, true},
      {516, false, false}, {517, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    f.main().SetWindowState(forms::WindowState::kNormal);
    f.main().Show();
    SendToTray();
    f.main().PostMouseMove({.x = 7695});
    f.main().PostMouseMove({.x = 7725});
    Tray(c.message);
    EXPECT_EQ(f.app().frmMenuPopUp.Loaded(), c.menu);
    EXPECT_EQ(f.main().Visible(), c.restored);
    EXPECT_EQ(f.main().GetWindowState(),
              c.restored ? forms::WindowState::kNormal : forms::WindowState::kMinimized);
    backend.AdvanceMs(1);
    EXPECT_EQ(menu.Visible(), c.menu);
    backend.AdvanceMs(10000);
  }
}

// After a restore the icon stays and goes on answering; "Show Program" restores too.
TEST_F(SendToTrayTest, ShowProgramRestoresTheWindowAndTheMenuSinks) {
  SendToTray();
  Tray(model::kTrayRightButtonUp);
  backend.AdvanceMs(100);
  ASSERT_TRUE(menu.mnuMaxmimaize.UserClick());
  EXPECT_TRUE(f.main().Visible());
  EXPECT_EQ(f.main().GetWindowState(), forms::WindowState::kNormal);
  EXPECT_TRUE(menu.tmrPopDown.Enabled());
  backend.AdvanceMs(200);
  EXPECT_FALSE(f.app().frmMenuPopUp.Loaded());
  Tray(model::kTrayLeftButtonDown);
  EXPECT_TRUE(f.app().frmMenuPopUp.Loaded());
  EXPECT_FALSE(menu.mnuMaxmimaize.Enabled());
}

TEST_F(SendToTrayTest, ExitProgramSavesTheStopAndTakesTheIconOut) {
  SendToTray();
  Tray(model::kTrayLeftButtonDown);
  ASSERT_TRUE(menu.mnuClose.UserClick());
  EXPECT_TRUE(f.app().runtime.Ended());
  EXPECT_EQ(Read(model::kOptionsSection, "RESTART"), "False");
  EXPECT_EQ(Read(model::kOptionsSection, "STATUS"), "STOPPED");
  EXPECT_TRUE(f.tray.tips.empty());
}

// Without a notification area (or no tray at all) the window is only minimised: it keeps its
// taskbar button, so it is never out of the user's reach.
TEST_F(SendToTrayTest, WithoutATrayAreaTheWindowKeepsItsTaskbarButton) {
  f.tray.available = false;
  for (bool host : {true, false}) {
    SCOPED_TRACE(host);
    f.app().objTray.SetHost(host ? &f.tray : nullptr);
    f.main().SetWindowState(forms::WindowState::kNormal);
    ASSERT_TRUE(f.main().Command5.UserClick());
    EXPECT_EQ(f.main().GetWindowState(), forms::WindowState::kMinimized);
    EXPECT_TRUE(f.main().Visible());
    EXPECT_TRUE(f.app().runtime.TaskVisible());
    EXPECT_FALSE(f.app().objTray.bRunningInTray(f.main()));
    EXPECT_FALSE(f.app().frmMenuPopUp.Loaded());
  }
}

}  // namespace
