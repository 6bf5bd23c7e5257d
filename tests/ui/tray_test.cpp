// The tray object: each window's icon and tip kept apart, tips cut to fit, and only real clicks
// on a window's own icon reaching it.

#include "model/tray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_fixture.h"
#include "support/recording_tray_host.h"

namespace {

class TrayTest : public ::testing::Test {
 protected:
  TrayTest() { tray.SetHost(&host); }

  hg_test::AppFixture h;
  model::ClsTray& tray = h.app().objTray;
  model::FrmMain& main = h.app().frmMain;
  model::FrmDownload& download = h.app().frmDownload.Peek();
  hg_test::RecordingTrayHost host;
};

// Two icons at once; taking the download window's out leaves the main window's working.
TEST_F(TrayTest, EachWindowKeepsItsOwnIconAndTip) {
  const std::string tip63(63, 'a');
  tray.ChangeToolTip(main, "before any icon");
  main.SetCaption(tip63 + "b");
  tray.ShowIcon(main);
  tray.ShowIcon(download);
  tray.ChangeToolTip(download, "Getting latest definitions.");
  tray.RemoveIcon(download);
  tray.ChangeToolTip(download, "after its icon went");
  tray.ChangeToolTip(main, tip63 + "cd");
  EXPECT_TRUE(tray.bRunningInTray(main));
  EXPECT_FALSE(tray.bRunningInTray(download));
  EXPECT_EQ(host.tips, (std::map<services::WindowHandle, std::string>{{main.hWnd(), tip63}}));
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"Add " + tip63, "Add ", "Tip Getting latest definitions.",
                                      "Delete", "Tip " + tip63}));
}

// Moving the mouse over a window is never a tray message.
TEST_F(TrayTest, OnlyRealClicksOnTheWindowsOwnIconReachIt) {
  std::vector<std::string> got;
  main.on_tray_message = [&got](int message) { got.push_back("main " + std::to_string(message)); };
  download.on_tray_message = [&got](int message) { got.push_back("download"); };
  tray.ShowIcon(main);
  main.Show();
  tray.TrayMouseMessage(main.hWnd(), model::kTrayRightButtonUp);
  tray.TrayMouseMessage(download.hWnd(), model::kTrayLeftButtonDoubleClick);
  main.UserMouseMove({.x = 7725});
  tray.RemoveIcon(main);
  tray.TrayMouseMessage(main.hWnd(), model::kTrayLeftButtonDown);
  EXPECT_EQ(got, std::vector<std::string>{"main 517"});
}

}  // namespace
