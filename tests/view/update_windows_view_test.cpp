// The download window and the update notification on screen, each saved as a picture beside
// the test run's other output, and the tray icons as the desktop's tray host makes them.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

  // Visible labels and buttons whose caption does not fit.
  std::vector<std::string> Clipped(const model::Window& window) {
    std::vector<std::string> clipped;
    for (forms::Control* control : window.Controls()) {
      QWidget* widget = qt.screen().WidgetOf(*control);
      if (!widget || !widget->isVisible())
        continue;
      bool bad = false;
      if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
        bad = label->heightForWidth(label->width()) > label->height();
      else if (auto* button = qobject_cast<QPushButton*>(widget))
        bad = button->sizeHint().width() > button->width() + 4;
      if (bad)
        clipped.push_back(control->FullName());
    }
    return clipped;
  }

  void Grab(const forms::Form& form) {
    const std::filesystem::path file = std::filesystem::current_path() / (form.name() + ".png");
    view::FormView* view = qt.screen().ViewOf(form);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->window()->grab().save(QString::fromStdString(file.string())))
        << file.string();
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

TEST_F(UpdateWindowsViewTest, TheDownloadWindowBlinksItsArrows) {
  model::FrmDownload& window = qt.app().frmDownload.Get();
  model::SetDownloadStatus(qt.app(), "Downloaded 2048 bytes.");
  window.Show();
  qt.runtime().Yield();
  auto* up = qobject_cast<QLabel*>(qt.screen().WidgetOf(window.picUp));
  ASSERT_NE(up, nullptr);
  EXPECT_TRUE(up->isVisible());
  EXPECT_FALSE(up->pixmap().isNull());
  EXPECT_EQ(Clipped(window), std::vector<std::string>{});
  Grab(window);

  auto* cancel = qobject_cast<QPushButton*>(qt.screen().WidgetOf(window.Command1));
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(qt.app().frmDownload.Loaded());
}

TEST_F(UpdateWindowsViewTest, TheNotificationShowsItsMessage) {
  model::ShowUpdateNotification(qt.app(), "Your Hearthguard definitions have been updated!");
  model::FrmSignatureUpdated& window = qt.app().frmSignatureUpdated.Peek();
  qt.runtime().Yield();
  // Skinned after it showed itself, it takes the skin's look at once.
  EXPECT_FALSE(qt.screen().ViewOf(window)->window()->styleSheet().isEmpty());
  EXPECT_EQ(Clipped(window), std::vector<std::string>{});
  Grab(window);
  auto* ok = qobject_cast<QPushButton*>(qt.screen().WidgetOf(window.cmdUpdateSuccesfullOK));
  ASSERT_NE(ok, nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_FALSE(qt.app().frmSignatureUpdated.Loaded());
}

// Without a desktop tray (offscreen) the icons are made but not shown; a click on one still
// reaches its own window only.
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

  download.Hide();
  emit icon->activated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(download.Visible());

  qt.app().frmDownload.Unload();
  EXPECT_EQ(host.IconOf(download.hWnd()), nullptr);
  ASSERT_NE(host.IconOf(main.hWnd()), nullptr);
  EXPECT_EQ(host.IconOf(main.hWnd())->toolTip(), QStringLiteral("Hearthguard"));
}

}  // namespace
}  // namespace view_test
