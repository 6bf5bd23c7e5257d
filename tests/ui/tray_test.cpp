// The tray object: each window's icon and tip kept apart, tips cut to fit their field, and only
// real clicks on a window's own icon reaching it.

#include "model/tray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_fixture.h"
#include "support/recording_tray_host.h"

namespace {

using hg_test::AppFixture;
using hg_test::RecordingTrayHost;

class TrayTest : public ::testing::Test {
 protected:
  TrayTest() {
    tray().SetHost(&host);
    main().SetCaption("Hearthguard");
    download().SetCaption("");
  }

  model::ClsTray& tray() { return h.app().objTray; }
  model::FrmMain& main() { return h.app().frmMain; }
  model::FrmDownload& download() { return h.app().frmDownload.Peek(); }

  AppFixture h;
  RecordingTrayHost host;
};

// Two icons at once; taking the download window's out leaves the main window's working.
TEST_F(TrayTest, EachWindowKeepsItsOwnIcon) {
  tray().ShowIcon(main());
  tray().ShowIcon(download());
  tray().ChangeToolTip(download(), "Getting latest definitions.");
  EXPECT_EQ(host.TipOf(main().hWnd()), "Hearthguard");
  EXPECT_EQ(host.TipOf(download().hWnd()), "Getting latest definitions.");

  tray().RemoveIcon(download());
  EXPECT_FALSE(tray().bRunningInTray(download()));
  EXPECT_TRUE(tray().bRunningInTray(main()));
  EXPECT_EQ(host.icons().size(), 1u);
  tray().ChangeToolTip(main(), "Still here");
  EXPECT_EQ(host.TipOf(main().hWnd()), "Still here");
}

TEST_F(TrayTest, ATipWithoutItsIconChangesNothing) {
  tray().ChangeToolTip(main(), "never shown");
  tray().ShowIcon(main());
  tray().RemoveIcon(main());
  tray().ChangeToolTip(main(), "gone");
  tray().RemoveIcon(main());
  EXPECT_EQ(host.calls(), (std::vector<std::string>{"Add Hearthguard", "Delete"}));
  EXPECT_FALSE(tray().bRunningInTray(main()));
}

TEST_F(TrayTest, TipsAreCutToSixtyThreeCharacters) {
  const std::string exact(63, 'a');
  const std::string longer = exact + "bcdefgh";
  main().SetCaption(longer);
  tray().ShowIcon(main());
  EXPECT_EQ(host.TipOf(main().hWnd()), exact);
  for (const std::string& tip : {exact, longer, exact + "b"}) {
    tray().ChangeToolTip(main(), tip);
    EXPECT_EQ(host.TipOf(main().hWnd()), exact) << tip.size();
  }
  tray().ChangeToolTip(main(), "short");
  EXPECT_EQ(host.TipOf(main().hWnd()), "short");
}

// A host that comes later shows the icons already in.
TEST_F(TrayTest, ALaterHostShowsTheIconsAlreadyIn) {
  tray().SetHost(nullptr);
  tray().ShowIcon(main());
  RecordingTrayHost later;
  tray().SetHost(&later);
  EXPECT_EQ(later.TipOf(main().hWnd()), "Hearthguard");
  tray().SetHost(nullptr);
}

// Clicks reach the window that owns the icon, and only while its icon is in; moving the mouse
// over a window is never a tray message.
TEST_F(TrayTest, OnlyRealClicksOnTheWindowsOwnIconReachIt) {
  std::vector<std::string> got;
  main().on_tray_message = [&got](int message) {
    got.push_back("main " + std::to_string(message));
  };
  download().on_tray_message = [&got](int message) {
    got.push_back("download " + std::to_string(message));
  };
  tray().ShowIcon(main());
  main().Show();
  tray().TrayMouseMessage(main().hWnd(), model::kTrayRightButtonUp);
  tray().TrayMouseMessage(download().hWnd(), model::kTrayLeftButtonDoubleClick);
  main().UserMouseMove({.x = 7725});
  tray().RemoveIcon(main());
  tray().TrayMouseMessage(main().hWnd(), model::kTrayLeftButtonDown);
  EXPECT_EQ(got, std::vector<std::string>{"main 517"});
}

}  // namespace
