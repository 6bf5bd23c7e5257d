// The update notification in virtual time: its place at the taskbar's edge, the slide up, the
// hold and the slide down, "OK" at any moment, and a tall screen.

#include "ui/windows/update_notification.h"

#include <gtest/gtest.h>

#include "model/sliding_windows.h"
#include "model/timer_group.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"

namespace {

class UpdateNotificationTest : public ::testing::Test {
 protected:
  UpdateNotificationTest() { ui::InstallUpdateNotification(h.app()); }

  std::string Show() {
    return services::ReadSetting(h.app().system, h.app().SettingsApplication(),
                                 model::kOptionsSection, "SHOW", "(none)");
  }

  hg_test::AppFixture h;
  model::FrmSignatureUpdated& window = h.app().frmSignatureUpdated.Peek();
};

// Headless: a 1024 x 768 screen with a 30-pixel taskbar. 20 twips up every 10 ms from the
// taskbar's edge to the target, seven seconds still, 40 twips down every 10 ms until past 11167,
// then closed as "OK" closes it.
TEST_F(UpdateNotificationTest, SlidesUpHoldsAndSlidesDown) {
  h.app().shields.bAlertAnswered = true;
  model::ShowUpdateNotification(h.app(), "Your Hearthguard definitions have been updated!");
  EXPECT_EQ(window.lblUpdateInfo.Caption(), "Your Hearthguard definitions have been updated!");
  EXPECT_FALSE(h.app().shields.bAlertAnswered);
  EXPECT_EQ(window.Top(), 11136 - 435);
  EXPECT_DOUBLE_EQ(window.Left(), (1024 - 240) * 14.7);
  EXPECT_EQ(window.placement.lngTargetTop, 11136 - (2100 + 100));
  h.backend.AdvanceMs(900);  // 89 steps up to 8921, and the stop
  EXPECT_EQ(window.Top(), 8921);
  EXPECT_TRUE(window.tmrEnablePopDownTimer.Enabled());
  h.backend.AdvanceMs(7000 + 560);  // the hold, then 56 steps down to 11161
  EXPECT_EQ(window.Top(), 11161);
  EXPECT_EQ(Show(), "(none)");
  h.backend.AdvanceMs(10);
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
  EXPECT_EQ(Show(), "false");
}

// "OK" during the slide up closes at once and takes out the download window's icon without
// loading that window.
TEST_F(UpdateNotificationTest, OkDuringTheSlideClosesAtOnce) {
  h.app().objTray.ShowIcon(h.app().frmDownload.Peek());
  model::ShowUpdateNotification(h.app(), "You are using the most recent Hearthguard definitions.");
  h.backend.AdvanceMs(300);
  ASSERT_TRUE(window.cmdUpdateSuccesfullOK.UserClick());
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
  EXPECT_EQ(Show(), "false");
  EXPECT_FALSE(h.app().objTray.bRunningInTray(h.app().frmDownload.Peek()));
  EXPECT_FALSE(h.app().frmDownload.Loaded());
}

// The target top lies below the fixed end of the slide down: one step down after the hold.
TEST_F(UpdateNotificationTest, OnATallScreenItSinksOneStepAndCloses) {
  h.app().windows.desktop_metrics = [] {
    return model::DesktopMetrics{.screen_width = 1920, .screen_height = 1200, .taskbar_height = 40};
  };
  model::ShowUpdateNotification(h.app(), "Your Hearthguard definitions have been updated!");
  ASSERT_EQ(window.placement.lngTargetTop, 17400 - 2200);
  h.backend.AdvanceMs(820 + 7000);  // 81 steps up from 16820 and the stop, then the hold
  EXPECT_EQ(window.Top(), 17400 - 2200);
  h.backend.AdvanceMs(10);
  EXPECT_FALSE(h.app().frmSignatureUpdated.Loaded());
}

}  // namespace
