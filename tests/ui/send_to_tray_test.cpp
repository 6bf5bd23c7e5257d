// Sending the main window to the tray and back in virtual time, with a recording tray: the tray
// menu's place, slides and idle seconds, the tray messages, "Show Program", "Exit Program", and
// a desktop without a tray area.

#include "ui/main/send_to_tray.h"

#include <gtest/gtest.h>

#include "menus_fixture.h"
#include "model/timer_group.h"
#include "services/settings_store.h"

namespace {

class SendToTrayTest : public ::testing::Test {
 protected:
  SendToTrayTest() {
    // As the layout does: a minimised main window gives up its taskbar button, and one that is
    // back on screen at normal size takes it again.
    main.on_resize = [this] {
      const bool normal = main.GetWindowState() == forms::WindowState::kNormal;
      if (!normal || main.Visible())
        f.app().runtime.SetTaskVisible(normal);
    };
  }

  std::string Read(std::string_view section, std::string_view key) {
    return services::ReadSetting(f.app().system, "Hearthguard", section, key, "");
  }
  // Sent to the tray, and the tray menu that this shows has been and gone.
  void SendToTray() {
    main.SetWindowState(forms::WindowState::kNormal);
    main.Show();
    ASSERT_TRUE(main.Command5.UserClick());
    backend.AdvanceMs(10000);
  }
  void Tray(int message) { f.app().objTray.TrayMouseMessage(main.hWnd(), message); }
  bool MenuLoaded() { return f.app().frmMenuPopUp.Loaded(); }

  hg_test::MenusFixture f;
  model::FrmMain& main = f.main();
  forms::HeadlessBackend& backend = f.h.backend;
  model::FrmMenuPopUp& menu = f.app().frmMenuPopUp.Peek();
};

// Headless: a 1024 x 768 screen with a 30-pixel taskbar; the menu is 2700 x 2100 twips. It
// starts at the taskbar's edge, rises 80 twips a millisecond until at or above 11136 - 2200,
// rests six idle seconds (a mouse move over it starts them again), then sinks 100 twips every
// 10 ms until its top is below 768 x 15 - 2000, and unloads.
TEST_F(SendToTrayTest, TheMenuRisesRestsAndSinks) {
  f.app().frmMenuPopUp->Show();
  EXPECT_EQ(menu.Caption(), "Hearthguard");
  EXPECT_FALSE(menu.mnuMaxmimaize.Enabled());  // the main window is on screen
  EXPECT_EQ(menu.Top(), 11136 - 435);
  EXPECT_DOUBLE_EQ(menu.Left(), (1024 - 180) * 14.7);
  EXPECT_EQ(menu.placement.lngTargetTop, 8936);
  backend.AdvanceMs(24);  // 23 steps up to 8861, and the stop
  EXPECT_EQ(menu.Top(), 8861);
  EXPECT_TRUE(menu.TmrEnablePopDown.Enabled());
  backend.AdvanceMs(5500);
  ASSERT_TRUE(menu.UserMouseMove({}));
  backend.AdvanceMs(5000);
  EXPECT_EQ(menu.Top(), 8861);
  backend.AdvanceMs(500 + 60);  // the sixth idle second, then 6 steps down
  EXPECT_EQ(menu.Top(), 9461);
  backend.AdvanceMs(10);
  EXPECT_FALSE(MenuLoaded());
}

// Only the icon's own clicks count: a left press or a right release shows the menu; a
// double-click restores the window (the menu it hides comes back at its next slide step); other
// messages, and mouse moves over the window, do nothing.
TEST_F(SendToTrayTest, TrayMessagesShowTheMenuOrRestoreTheWindow) {
  const struct {
    int message;
    bool menu;
    bool restored;
  } cases[] = {{513, true, false},
               {514, false, false},
               {515, true, true},
               {516, false, false},
               {517, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    SendToTray();
    main.PostMouseMove({.x = 7695});
    main.PostMouseMove({.x = 7725});
    Tray(c.message);
    backend.AdvanceMs(1);
    EXPECT_EQ(MenuLoaded() && menu.Visible(), c.menu);
    EXPECT_EQ(main.Visible(), c.restored);
    EXPECT_EQ(main.GetWindowState() == forms::WindowState::kNormal, c.restored);
    EXPECT_EQ(f.app().runtime.TaskVisible(), c.restored);
  }
}

TEST_F(SendToTrayTest, ShowProgramRestoresAndTheIconStaysUntilExitProgram) {
  ASSERT_TRUE(main.Command5.UserClick());
  EXPECT_FALSE(f.app().runtime.TaskVisible());
  EXPECT_EQ(Read("Settings", "Minimized"), "Yes");
  ASSERT_TRUE(MenuLoaded());
  ASSERT_TRUE(menu.mnuMaxmimaize.UserClick());
  EXPECT_TRUE(main.Visible());
  backend.AdvanceMs(200);
  EXPECT_FALSE(MenuLoaded());
  EXPECT_EQ(f.tray.tips[main.hWnd()], "Hearthguard");

  Tray(model::kTrayRightButtonUp);
  ASSERT_TRUE(menu.mnuClose.UserClick());
  EXPECT_TRUE(f.app().runtime.Ended());
  EXPECT_EQ(Read(model::kOptionsSection, "RESTART"), "False");
  EXPECT_EQ(Read(model::kOptionsSection, "STATUS"), "STOPPED");
  EXPECT_TRUE(f.tray.tips.empty());
}

// Without a notification area, or without a tray at all, the window is only minimised and
// keeps its taskbar button: it is never out of the user's reach.
TEST_F(SendToTrayTest, WithoutATrayAreaTheWindowKeepsItsTaskbarButton) {
  f.tray.available = false;
  for (bool host : {true, false}) {
    SCOPED_TRACE(host);
    f.app().objTray.SetHost(host ? &f.tray : nullptr);
    main.SetWindowState(forms::WindowState::kNormal);
    ASSERT_TRUE(main.Command5.UserClick());
    EXPECT_EQ(main.GetWindowState(), forms::WindowState::kMinimized);
    EXPECT_TRUE(main.Visible());
    EXPECT_TRUE(f.app().runtime.TaskVisible());
    EXPECT_FALSE(f.app().objTray.bRunningInTray(main));
    EXPECT_FALSE(MenuLoaded());
  }
}

}  // namespace
