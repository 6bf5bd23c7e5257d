// The download window in virtual time: its blinking captions, its own tray icon, and "Cancel"
// while the update goes on.

#include "ui/windows/download_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/tray.h"
#include "support/app_fixture.h"
#include "support/recording_tray_host.h"

namespace {

class DownloadWindowTest : public ::testing::Test {
 protected:
  DownloadWindowTest() {
    ui::InstallDownloadWindow(h.app());
    h.app().objTray.SetHost(&host);
  }

  hg_test::AppFixture h;
  model::FrmDownload& window = h.app().frmDownload.Peek();
  hg_test::RecordingTrayHost host;
};

// Steps 1, 7 and 9 keep the arrow text; the step goes round and outlives an unload.
TEST_F(DownloadWindowTest, TheCaptionAfterEachTickFollowsTheBlinkStep) {
  const std::string busy = "Sending and receiving data, please wait.";
  const std::string up = "Connecting to server.....";
  const std::vector<std::string> expected = {"Connecting to the Server.",
                                             up,
                                             busy,
                                             busy,
                                             busy,
                                             busy,
                                             "Successfully sent the request.",
                                             up,
                                             "Receiving a response from the Server.",
                                             up,
                                             busy,
                                             busy,
                                             busy,
                                             busy,
                                             busy,
                                             "Connecting to the Server."};
  h.app().frmDownload->Show();
  EXPECT_EQ(window.lblProduct.Caption(), "Connecting to server/downloading.....");
  for (size_t tick = 0; tick < expected.size(); ++tick) {
    if (tick == 10) {
      h.app().frmDownload.Unload();
      h.app().frmDownload->Show();
    }
    h.backend.AdvanceMs(800);
    EXPECT_EQ(window.lblProduct.Caption(), expected[tick]) << "tick " << tick;
    EXPECT_EQ(window.picDown.Visible(), tick % 2 == 0) << "tick " << tick;
  }
}

// "Cancel" takes the window and its icon away; the update's later status writes leave both
// away, and the main window's icon keeps working.
TEST_F(DownloadWindowTest, CancelClosesItForTheRestOfTheUpdate) {
  h.app().objTray.ShowIcon(h.main());
  h.app().frmDownload->Show();
  EXPECT_EQ(host.tips[window.hWnd()], "Getting latest definitions.");
  model::SetDownloadStatus(h.app(), "Connecting to the definition server, please wait.");
  EXPECT_EQ(window.txtStatus.Text(), "Connecting to the definition server, please wait.");

  ASSERT_TRUE(window.Command1.UserClick());
  model::SetDownloadStatus(h.app(), "Downloaded 256 bytes.");
  EXPECT_FALSE(h.app().frmDownload.Loaded());
  EXPECT_FALSE(h.app().objTray.bRunningInTray(window));
  EXPECT_EQ(host.tips.size(), 1u);
  EXPECT_TRUE(h.app().objTray.bRunningInTray(h.main()));
}

}  // namespace
