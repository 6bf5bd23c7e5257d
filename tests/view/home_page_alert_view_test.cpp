// The home-page alert on screen: opened by a shield tick in the centre of the screen without a
// title bar, its question readable in full, answered with the mouse; a picture is saved beside
// the test run's other output.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <string>

#include "engine/shields/home_page_shield.h"
#include "model/timer_group.h"
#include "qt_app.h"
#include "services/registry_home_page.h"
#include "services/registry_key.h"
#include "services/settings_store.h"
#include "ui/windows/branding.h"
#include "ui/windows/home_page_alert.h"

namespace view_test {
namespace {

TEST(HomePageAlertViewTest, ATickAsksInTheCentreOfTheScreenAndYesRestores) {
  QtApp qt;
  model::App& app = qt.app();
  ui::InitBranding(app);
  ui::InstallHomePageAlert(app);
  services::WriteSetting(app.system, app.SettingsApplication(), model::kOptionsSection, "Homepage",
                         "http://home.example/");
  {
    services::ScopedKey key(app.machine.registry());
    ASSERT_EQ(key.Create(machine::kHkeyCurrentUser, engine::kStartPageKey), 0);
    services::SetValueEx(app.system, key.get(), engine::kStartPageValue, 1,
                         "http://hijack.example/search?q=a-rather-long-query");
  }

  bool answered = false;
  AnswerNextModal([&](QWidget& modal) {
    model::FrmHomePageChangedAlert& alert = app.frmHomePageChangedAlert.Peek();
    EXPECT_EQ(&modal, qt.screen().ViewOf(alert)->window());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((modal.frameGeometry().center() - screen.center()).manhattanLength(), 4);
    EXPECT_TRUE(modal.windowFlags().testFlag(Qt::FramelessWindowHint));

    auto* info = qobject_cast<QLabel*>(qt.screen().WidgetOf(alert.lblHomePageInfo));
    EXPECT_NE(info, nullptr);
    if (info) {
      EXPECT_TRUE(info->text().contains(QStringLiteral("http://home.example/")));
      EXPECT_LE(info->heightForWidth(info->width()), info->height());
    }

    const std::filesystem::path file = std::filesystem::current_path() / (alert.name() + ".png");
    EXPECT_TRUE(modal.grab().save(QString::fromStdString(file.string()))) << file.string();

    answered = true;
    auto* yes = qobject_cast<QPushButton*>(qt.screen().WidgetOf(alert.cmdYes));
    EXPECT_NE(yes, nullptr);
    if (yes)
      QTest::mouseClick(yes, Qt::LeftButton);
    else
      alert.Hide();
  });
  engine::tmrCheckHomePage_Timer(app);

  EXPECT_TRUE(answered);
  EXPECT_FALSE(app.frmHomePageChangedAlert.Loaded());
  std::string page;
  services::ReadRegistryValue(app.system, machine::kHkeyCurrentUser, engine::kStartPageKey,
                              engine::kStartPageValue, page);
  EXPECT_EQ(page, "http://home.example/");
}

}  // namespace
}  // namespace view_test
