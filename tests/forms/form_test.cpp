#include <gtest/gtest.h>

#include "services/system.h"
#include "test_window.h"

namespace forms_test {
namespace {

using namespace forms;

TEST(FormTest, TouchingAnUnloadedWindowLoadsItOnce) {
  Headless h;
  FormInstance<TestWindow> about(h.runtime, "frmAbout");

  EXPECT_FALSE(about.Loaded());
  EXPECT_EQ(about.Peek().lblStatus.Caption(), "design");
  EXPECT_FALSE(about.Loaded());  // looking is not touching

  about->lblStatus.SetCaption("Version 1.0");
  EXPECT_TRUE(about.Loaded());
  EXPECT_FALSE(about->Visible());
  about->SetCaption("About");
  about->Hide();
  EXPECT_EQ(about.Peek().loads, 1);

  // A new load starts from the design again.
  EXPECT_TRUE(about.Unload());
  EXPECT_FALSE(about.Unload());
  EXPECT_EQ(about.Peek().unloads, 1);
  EXPECT_EQ(about.Peek().lblStatus.Caption(), "Version 1.0");
  EXPECT_EQ(about->lblStatus.Caption(), "design");
  EXPECT_EQ(about->Caption(), "");
  EXPECT_EQ(about.Peek().loads, 2);
}

TEST(FormTest, HideOnAnUnloadedWindowLoadsIt) {
  Headless h;
  FormInstance<TestWindow> menu(h.runtime, "frmMenuPopUp");
  menu.Peek().Hide();
  EXPECT_TRUE(menu.Loaded());
  EXPECT_EQ(menu.Peek().loads, 1);
}

TEST(FormTest, MainWindowIsInertAfterItsUnload) {
  Headless h;
  FormInstance<TestWindow> main(h.runtime, "FrmMain", FormRole::kMain);
  main->Show();
  EXPECT_TRUE(h.runtime.IsMainWindowVisible());
  main->tmrTick.SetEnabled(true);
  int ticks = 0;
  main->tmrTick.on_timer = [&] { ++ticks; };

  EXPECT_TRUE(main.Unload());
  EXPECT_FALSE(h.runtime.IsMainWindowVisible());
  main->lblStatus.SetCaption("late");
  main->Show();
  main->Load();
  main->tmrTick.SetEnabled(false);
  main->tmrTick.SetEnabled(true);
  h.backend.AdvanceMs(1000);

  EXPECT_FALSE(main.Loaded());
  EXPECT_FALSE(main.Peek().Visible());
  EXPECT_EQ(main.Peek().loads, 1);
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(main.Peek().cmdGo.UserClick());
}

TEST(FormTest, QueryUnloadCanKeepTheWindow) {
  Headless h;
  TestWindow w(h.runtime, "frmReport");
  w.Show();
  w.query_cancel = 1;
  EXPECT_TRUE(w.UserClose());  // the close was delivered ...
  EXPECT_TRUE(w.Loaded());     // ... and refused by the window
  EXPECT_EQ(w.unloads, 0);
  w.query_cancel = 0;
  EXPECT_TRUE(w.UserClose());
  EXPECT_FALSE(w.Loaded());
  EXPECT_EQ(w.unloads, 1);
}

TEST(FormTest, ResizeRunsOnFirstShowStateChangesAndSizeChanges) {
  Headless h;
  TestWindow w(h.runtime, "frmMain");
  w.SetWidth(9000);  // not loaded: no handler
  w.Show();
  EXPECT_EQ(w.resizes, 1);
  w.Hide();
  w.Show();
  EXPECT_EQ(w.resizes, 1);
  w.SetWindowState(WindowState::kMinimized);
  w.SetWindowState(WindowState::kMinimized);
  EXPECT_EQ(w.resizes, 2);
  w.SetLeft(100);
  EXPECT_EQ(w.resizes, 2);
  EXPECT_TRUE(w.UserResize(8000, 6000));
  EXPECT_EQ(w.resizes, 3);
}

TEST(FormTest, ModalWindowRefusesScriptedClicksOnOtherWindows) {
  Headless h;
  TestWindow main(h.runtime, "FrmMain", FormRole::kMain);
  TestWindow alert(h.runtime, "frmHomePageChangedAlert");
  main.Show();
  int main_clicks = 0;
  main.cmdGo.on_click = [&] { ++main_clicks; };
  bool after_show = false;

  h.backend.AtYield(1, "click FrmMain.cmdGo", [&] { main.cmdGo.UserClick(); });
  h.backend.AtYield(2, "close the menu's parent", [&] { main.UserClose(); });
  h.backend.AtYield(3, "answer the alert", [&] { alert.cmdClose.UserClick(); });
  main.cmdGo.on_click = [&] {
    ++main_clicks;
    alert.Show(true);
    after_show = true;
  };
  // The first click opens the alert; the scripted actions then arrive under its loop.
  main.cmdGo.UserClick();

  EXPECT_TRUE(after_show);
  EXPECT_EQ(main_clicks, 1);
  EXPECT_TRUE(main.Loaded());
  EXPECT_FALSE(alert.Visible());
  EXPECT_FALSE(alert.ShownModal());
  ASSERT_EQ(h.runtime.RefusedActions().size(), 2u);
  EXPECT_EQ(h.runtime.RefusedActions()[0],
            "FrmMain.cmdGo click refused: the window frmHomePageChangedAlert is modal");
  EXPECT_EQ(h.runtime.RefusedActions()[1],
            "FrmMain close refused: the window frmHomePageChangedAlert is modal");
  // Once the alert is gone the main window takes clicks again.
  main.cmdGo.on_click = [&] { ++main_clicks; };
  EXPECT_TRUE(main.cmdGo.UserClick());
  EXPECT_EQ(main_clicks, 2);
}

TEST(FormTest, ModalLoopEndsWhenTheWindowUnloads) {
  Headless h;
  TestWindow alert(h.runtime, "frmAlert");
  int ticks = 0;
  alert.tmrTick.on_timer = [&] {
    if (++ticks == 3)
      alert.Unload();
  };
  alert.tmrTick.SetEnabled(true);
  alert.Show(true);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(h.backend.NowMs(), 300);
  EXPECT_FALSE(alert.Loaded());
}

TEST(FormTest, WaitUntilEndsOnTheConditionOrWhenTheWindowUnloads) {
  Headless h;
  TestWindow main(h.runtime, "FrmMain", FormRole::kMain);
  TestWindow alert(h.runtime, "frmSpywareFoundAlert");
  main.Load();
  bool answered = false;

  // Answered by a click on the (modeless) alert.
  alert.Show();
  alert.cmdGo.on_click = [&] {
    answered = true;
    alert.Unload();
  };
  h.backend.AtTime(2500, "STOP", [&] { alert.cmdGo.UserClick(); });
  EXPECT_TRUE(h.runtime.WaitUntil([&] { return answered; }, &alert));
  EXPECT_EQ(h.backend.NowMs(), 2500);

  // Closed without an answer: the wait ends all the same.
  answered = false;
  alert.Show();
  h.backend.AtTime(4000, "close box", [&] { alert.UserClose(); });
  EXPECT_FALSE(h.runtime.WaitUntil([&] { return answered; }, &alert));
  EXPECT_EQ(h.backend.NowMs(), 4000);

  // A condition that holds already returns at once.
  EXPECT_TRUE(h.runtime.WaitUntil([] { return true; }));
}

TEST(FormTest, WaitingForSomethingThatCannotHappenFailsLoudly) {
  Headless h;
  TestWindow w(h.runtime, "frmDownload");
  w.Load();
  EXPECT_THROW(h.runtime.WaitUntil([] { return false; }, &w), HeadlessStall);
  w.tmrTick.SetEnabled(true);
  h.backend.SetWaitLimitMs(1000);
  EXPECT_THROW(h.runtime.WaitUntil([] { return false; }, &w), HeadlessStall);
  EXPECT_EQ(h.runtime.LoopDepth(), 0);
}

TEST(FormTest, ServesTheServicesAsWindowManager) {
  Headless h;
  TestWindow main(h.runtime, "FrmMain", FormRole::kMain);
  TestWindow website(h.runtime, "frmWebsite");
  services::WindowManager& windows = h.runtime;

  EXPECT_FALSE(windows.IsMainWindowVisible());
  main.Show();
  EXPECT_TRUE(windows.IsMainWindowVisible());
  main.SetWindowState(WindowState::kMinimized);
  main.Hide();
  EXPECT_FALSE(windows.IsMainWindowVisible());

  windows.LockWindowUpdate(main.hWnd());
  EXPECT_EQ(h.runtime.LockedWindow(), main.hWnd());
  windows.LockWindowUpdate(0);
  EXPECT_EQ(h.runtime.LockedWindow(), 0);

  website.Load();
  windows.SetWindowZOrder(website.hWnd(), services::kTopMost);
  EXPECT_TRUE(website.TopMost());
  windows.SetWindowZOrder(website.hWnd(), services::kNotTopMost);
  EXPECT_FALSE(website.TopMost());
  EXPECT_NE(main.hWnd(), website.hWnd());
}

}  // namespace
}  // namespace forms_test
