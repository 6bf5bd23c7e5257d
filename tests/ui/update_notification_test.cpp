// The update notification in virtual time: its place at the taskbar's edge, the slide up, the
// hold and the slide down, "OK" at any moment, and a tall screen.

#include "ui/windows/update_notification.h"

#include <gtest/gtest.h>

#include "model/sliding_windows.h"
#include "model/timer_group.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/recording_tray_host.h"
#include "ui/windows/download_window.h"

namespace {

using hg_test::AppFixture;

class UpdateNotificationTest : public ::testing::Test {
 protected:
  UpdateNotificationTest() {
    ui::InstallUpdateNotification(h.app());
    ui::InstallDownloadWindow(h.app());
    h.app().objTray.SetHost(&host);
  }

  model::FrmSignatureUpdated& Window() { return h.app().frmSignatureUpdated.Peek(); }
  std::string Show() {
    return services::ReadSetting(h.app().system, h.app().SettingsApplication(),
                                 model::kOptionsSection, "SHOW", "(none)");
  }

  AppFixture h;
  hg_test::RecordingTrayHost host;
};

// Headless: a 1024 x 768 screen with a 30-pixel taskbar.
TEST_F(UpdateNotificationTest, LoadPlacesItAtTheTaskbarWithItsOwnText) {
  h.app().shields.bAlertAnswered = true;
  model::FrmSignatureUpdated& window = h.app().frmSignatureUpdated.Get();
  EXPECT_EQ(window.lblUpdateInfo.Caption(),
            "All Hearthguard signatures have been updated automatically.  You are now protected "
            "from new malicious applications.");
  EXPECT_TRUE(window.Visible());
  EXPECT_EQ(window.placement.lngScreenHeight, 11136);
  EXPECT_EQ(window.placement.lngTaskbarHeight, 435);
  EXPECT_EQ(window.Top(), 11136 - 435);
  EXPECT_DOUBLE_EQ(window.Left(), (1024 - 240) * 14.7);
  EXPECT_EQ(window.placement.lngTargetTop, 11136 - (2100 + 100));
  EXPECT_FALSE(h.app().shields.bAlertAnswered);
  EXPECT_TRUE(window.tmrPopupSignatureUpdate.Enabled());
  EXPECT_FALSE(window.tmrEnablePopDownTimer.Enabled());
}

// 20 twips up every 10 ms to the target, seven seconds still, 40 twips down every 10 ms until
// past 11167, then closed as "OK" closes it.
TEST_F(UpdateNotificationTest, SlidesUpHoldsAndSlidesDown) {
  model::ShowUpdateNotification(h.app(), "Your Hearthguard definitions have been updated!");
  EXPECT_EQ(Window().lblUpdateInfo.Caption(), "Your Hearthguard definitions have been updated!");
  h.backend.AdvanceMs(890);  // 89 steps up: 10701 - 1780
  EXPECT_EQ(Window().Top(), 8921);
  EXPECT_TRUE(Window().tmrPopupSignatureUpdate.Enabled());
  h.backend.AdvanceMs(10);
  EXPECT_FALSE(Window().tmrPopupSignatureUpdate.Enabled());
  EXPECT_TRUE(Window().tmrEnablePopDownTimer.Enabled());

  h.backend.AdvanceMs(6999);
  EXPECT_EQ(Window().Top(), 8921);
  EXPECT_FALSE(Window().tmrPopDown.Enabled());
  h.backend.AdvanceMs(1);
  EXPECT_TRUE(Window().tmrPopDown.Enabled());

  h.backend.AdvanceMs(560);  // 56 steps down: 11161
  EXPECT_EQ(Window().Top(), 11161);
  EXPECT_TRUE(h.app().frmSignatureUpdated.Loaded());
  EXPECT_EQ(Show(), "(none)");
  h.backend.AdvanceMs(10);
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
  EXPECT_EQ(Show(), "false");
}

// "OK" during the slide up: closed at once, "SHOW" saved, the download window's icon taken out
// without loading that window, the main window's icon left in.
TEST_F(UpdateNotificationTest, OkDuringTheSlideClosesAtOnce) {
  h.app().frmDownload->Show();
  h.app().objTray.ShowIcon(h.main());
  h.app().frmDownload.Unload();
  h.app().objTray.ShowIcon(h.app().frmDownload.Peek());  // as an update in the tray leaves it

  model::ShowUpdateNotification(h.app(), "You are using the most recent Hearthguard definitions.");
  h.backend.AdvanceMs(300);
  ASSERT_TRUE(Window().cmdUpdateSuccesfullOK.UserClick());
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
  EXPECT_EQ(Show(), "false");
  EXPECT_FALSE(h.app().objTray.bRunningInTray(h.app().frmDownload.Peek()));
  EXPECT_FALSE(h.app().frmDownload.Loaded());
  EXPECT_TRUE(h.app().objTray.bRunningInTray(h.main()));
  h.backend.AdvanceMs(10000);
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
}

// Where the target top is below the fixed end of the slide down, the window sinks one step
// after the hold and closes.
TEST_F(UpdateNotificationTest, OnATallScreenItSinksOneStepAndCloses) {
  h.app().windows.desktop_metrics = [] {
    return model::DesktopMetrics{.screen_width = 1920, .screen_height = 1200, .taskbar_height = 40};
  };
  model::ShowUpdateNotification(h.app(), "Your Hearthguard definitions have been updated!");
  const int32_t target = Window().placement.lngTargetTop;
  ASSERT_EQ(target, 17400 - 2200);
  h.backend.AdvanceMs(820);  // from 17400 - 580: 81 steps up and the stop
  EXPECT_EQ(Window().Top(), target);
  EXPECT_TRUE(Window().tmrEnablePopDownTimer.Enabled());
  h.backend.AdvanceMs(7000);
  EXPECT_TRUE(h.app().frmSignatureUpdated.Loaded());
  h.backend.AdvanceMs(10);
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
}

}  // namespace
