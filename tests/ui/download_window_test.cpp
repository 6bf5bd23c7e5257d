// The download window in virtual time: its blinking captions, its own tray icon, "Cancel" while
// the update goes on, and the double-click on its icon.

#include "ui/windows/download_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/tray.h"
#include "support/app_fixture.h"
#include "support/recording_tray_host.h"

namespace {

using hg_test::AppFixture;
using hg_test::RecordingTrayHost;

class DownloadWindowTest : public ::testing::Test {
 protected:
  DownloadWindowTest() {
    ui::InstallDownloadWindow(h.app());
    h.app().objTray.SetHost(&host);
  }

  model::FrmDownload& Window() { return h.app().frmDownload.Peek(); }

  AppFixture h;
  RecordingTrayHost host;
};

TEST_F(DownloadWindowTest, LoadPutsItsIconInAndStartsTheBlink) {
  h.app().frmDownload->Show();
  EXPECT_EQ(Window().lblProduct.Caption(), "Connecting to server/downloading.....");
  EXPECT_TRUE(Window().picUp.Visible());
  EXPECT_FALSE(Window().picDown.Visible());
  EXPECT_TRUE(Window().tmrBlink.Enabled());
  EXPECT_TRUE(h.app().objTray.bRunningInTray(Window()));
  EXPECT_EQ(host.TipOf(Window().hWnd()), "Getting latest definitions.");
  EXPECT_EQ(host.icons().at(Window().hWnd()).icon, "download");
}

// Steps 1, 7 and 9 keep the arrow text; the step goes round and is kept across loads.
TEST_F(DownloadWindowTest, TheCaptionAfterEachTickFollowsTheBlinkStep) {
  const std::string busy = "Sending and receiving data, please wait.";
  const std::string up = "Connecting to server.....";
  const std::vector<std::string> expected = {
      "Connecting to the Server.",  // 0
      up,                           // 1
      busy,
      busy,
      busy,
      busy,  // 2 to 5
      "Successfully sent the request.",
      up,  // 7
      "Receiving a response from the Server.",
      up,  // 9
      busy,
      busy,
      busy,
      busy,
      busy,
      "Connecting to the Server.",  // round again
  };
  h.app().frmDownload->Show();
  for (size_t tick = 0; tick < expected.size(); ++tick) {
    if (tick == 10) {
      // Unloading and loading again does not start the steps over.
      h.app().frmDownload.Unload();
      h.app().frmDownload->Show();
    }
    h.backend.AdvanceMs(800);
    EXPECT_EQ(Window().lblProduct.Caption(), expected[tick]) << "tick " << tick;
    EXPECT_EQ(Window().picDown.Visible(), !Window().picUp.Visible());
  }
  EXPECT_EQ(Window().lngBlinkStep, 1);
}

// "Cancel" closes the window and takes its icon out; the update's later status writes leave it
// closed, and the main window's icon keeps working.
TEST_F(DownloadWindowTest, CancelCloseItForTheRestOfTheUpdate) {
  h.main().SetCaption("Hearthguard");
  h.app().objTray.ShowIcon(h.main());
  h.app().frmDownload->Show();
  model::SetDownloadStatus(h.app(), "Connecting to the definition server, please wait.");
  EXPECT_EQ(Window().txtStatus.Text(), "Connecting to the definition server, please wait.");

  ASSERT_TRUE(Window().Command1.UserClick());
  EXPECT_FALSE(h.app().frmDownload.Loaded());
  model::SetDownloadStatus(h.app(), "Downloaded 256 bytes.");
  h.backend.AdvanceMs(2000);
  EXPECT_FALSE(h.app().frmDownload.Loaded());
  EXPECT_FALSE(h.app().objTray.bRunningInTray(Window()));
  EXPECT_EQ(host.icons().size(), 1u);
  EXPECT_TRUE(h.app().objTray.bRunningInTray(h.main()));
}

TEST_F(DownloadWindowTest, ADoubleClickOnItsIconRestoresIt) {
  h.app().frmDownload->Show();
  Window().SetWindowState(forms::WindowState::kMinimized);
  Window().Hide();
  h.app().objTray.TrayMouseMessage(Window().hWnd(), model::kTrayLeftButtonDown);
  h.app().objTray.TrayMouseMessage(Window().hWnd(), model::kTrayRightButtonUp);
  EXPECT_FALSE(Window().Visible());

  h.app().objTray.TrayMouseMessage(Window().hWnd(), model::kTrayLeftButtonDoubleClick);
  EXPECT_TRUE(Window().Visible());
  EXPECT_EQ(Window().GetWindowState(), forms::WindowState::kNormal);
}

}  // namespace
