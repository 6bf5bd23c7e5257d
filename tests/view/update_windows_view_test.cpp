// The download window and the update notification on screen, each saved as a picture beside
// the test run's other output, and the tray icons as the desktop's tray host makes them.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <filesystem>
#include <optional>

#include "model/sliding_windows.h"
#include "model/tray.h"
#include "qt_app.h"
#include "ui/windows/branding.h"
#include "ui/windows/download_window.h"
#include "ui/windows/update_notification.h"
#include "view/qt_tray.h"

namespace view_test {
namespace {

class UpdateWindowsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model::App& app = qt.app();
    ui::InitBranding(app);
    ui::InstallDownloadWindow(app);
    ui::InstallUpdateNotification(app);
  }

  QtApp qt;
};

TEST(TrayMessages, EachClickOnAnIconStandsForItsMouseMessage) {
  const std::pair<QSystemTrayIcon::ActivationReason, std::optional<int>> cases[] = {
      {QSystemTrayIcon::Trigger, 513},          {QSystemTrayIcon::DoubleClick, 515},
      {QSystemTrayIcon::Context, 517},          {QSystemTrayIcon::MiddleClick, std::nullopt},
      {QSystemTrayIcon::Unknown, std::nullopt},
  };
  for (const auto& [reason, message] : cases)
    EXPECT_EQ(view::TrayMessageFor(reason), message) << reason;
}

// The drawn arrow, the status text, and the notification skinned although it showed itself
// before its skin was applied.
TEST_F(UpdateWindowsViewTest, BothWindowsOnScreen) {
  model::FrmDownload& download = qt.app().frmDownload.Get();
  model::SetDownloadStatus(qt.app(), "Downloaded 2048 bytes.");
  download.Show();
  model::ShowUpdateNotification(qt.app(), "Your Hearthguard definitions have been updated!");
  model::FrmSignatureUpdated& notification = qt.app().frmSignatureUpdated.Peek();
  qt.runtime().Yield();
  auto* up = qobject_cast<QLabel*>(qt.screen().WidgetOf(download.picUp));
  ASSERT_NE(up, nullptr);
  EXPECT_FALSE(up->pixmap().isNull());
  EXPECT_FALSE(qt.screen().ViewOf(notification)->window()->styleSheet().isEmpty());
  qt.SavePicture(download);
  qt.SavePicture(notification);

  for (QWidget* button : {qt.screen().WidgetOf(download.Command1),
                          qt.screen().WidgetOf(notification.cmdUpdateSuccesfullOK)}) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  EXPECT_FALSE(qt.app().frmDownload.Loaded());
  EXPECT_FALSE(qt.app().frmSignatureUpdated.Loaded());
}

// Without a desktop tray (offscreen) the icons are made but not shown; a click on one still
// reaches its own window, and only a double-click restores the download window.
TEST_F(UpdateWindowsViewTest, OneDesktopIconPerWindow) {
  view::QtTrayHost host(qt.app().objTray, qt.screen());
  model::FrmMain& main = qt.app().frmMain;
  main.SetCaption("Hearthguard");
  qt.app().objTray.ShowIcon(main);
  model::FrmDownload& download = qt.app().frmDownload.Get();
  QSystemTrayIcon* icon = host.IconOf(download.hWnd());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->toolTip(), QStringLiteral("Getting latest definitions."));
  EXPECT_FALSE(icon->icon().isNull());
  EXPECT_EQ(icon->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());

  download.SetWindowState(forms::WindowState::kMinimized);
  download.Hide();
  emit icon->activated(QSystemTrayIcon::Trigger);
  EXPECT_FALSE(download.Visible());
  emit icon->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(download.Visible());
  EXPECT_EQ(download.GetWindowState(), forms::WindowState::kNormal);

  qt.app().frmDownload.Unload();
  EXPECT_EQ(host.IconOf(download.hWnd()), nullptr);
  ASSERT_NE(host.IconOf(main.hWnd()), nullptr);
  EXPECT_EQ(host.IconOf(main.hWnd())->toolTip(), QStringLiteral("Hearthguard"));
}

}  // namespace
}  // namespace view_test
