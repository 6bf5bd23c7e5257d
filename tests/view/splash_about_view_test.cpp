// The splash window and the About window on screen, each saved as a picture beside the test
// run's other output.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "model/user_settings.h"
#include "qt_app.h"
#include "services/machine_settings.h"
#include "services/settings_store.h"
#include "ui/main/form_load.h"
#include "ui/windows/branding.h"
#include "ui/windows/splash_about.h"

namespace view_test {
namespace {

// The window's middle lies on the middle of the screen's work area.
void ExpectCentred(QWidget& window) {
  const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((window.frameGeometry().center() - middle).manhattanLength(), 2)
      << window.objectName().toStdString();
}

TEST(SplashAboutView, TheSplashComesUpCentredWithoutFrameAndGivesWayToTheMainWindow) {
  QtApp qt;
  model::App& app = qt.app();
  services::SaveSettingHKLM(app.system, "Hearthguard", "Settings", "FirstTime", "Yes");
  services::WriteSetting(app.system, "Hearthguard", "Settings", "showHelp", "1");
  ui::InstallSplashAbout(app);
  ui::InstallFormLoad(app);

  ui::StartWithSplash(app);
  model::FrmSplash& splash = app.frmSplash.Peek();
  QWidget* window = qt.screen().ViewOf(splash)->window();
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
  ExpectCentred(*window);
  auto* picture = qobject_cast<QLabel*>(qt.screen().WidgetOf(splash.Image1));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->pixmap().size(), QSize(400, 240));
  qt.SavePicture(splash);

  ASSERT_TRUE(PumpUntil([&] { return app.frmMain.Visible(); }));
  EXPECT_TRUE(splash.Loaded());
  EXPECT_FALSE(window->isVisible());
  // The user's first start showed the help launcher, which never has a window on screen.
  const view::FormView* launcher = qt.screen().ViewOf(app.Form8.Peek());
  ASSERT_NE(launcher, nullptr);
  EXPECT_EQ(launcher->window()->windowHandle(), nullptr);
}

TEST(SplashAboutView, AWindowStartedInTheTrayComesBackWhereANormalStartPutsIt) {
  std::vector<QPoint> places;
  for (const char* minimized : {"No", "Yes"}) {
    QtApp qt;
    model::App& app = qt.app();
    services::SaveSettingHKLM(app.system, "Hearthguard", "Settings", "FirstTime", "Yes");
    model::WriteUserSetting(app, "Settings", model::kMinimizedKey, minimized);
    ui::InstallSplashAbout(app);
    ui::InstallFormLoad(app);

    ui::StartWithSplash(app);
    ASSERT_TRUE(PumpUntil([&] { return app.frmMain.Visible(); }));
    app.frmMain.SetWindowState(forms::WindowState::kNormal);  // as the tray icon does it
    QWidget* window = qt.screen().ViewOf(app.frmMain)->window();
    ASSERT_TRUE(PumpUntil([&] { return window->isVisible() && !window->isMinimized(); }));
    places.push_back(window->frameGeometry().topLeft());
  }
  EXPECT_EQ(places[1], places[0]);
}

TEST(SplashAboutView, AboutShowsTheVersionInformationCentredWithoutMinMaxButtons) {
  QtApp qt;
  model::App& app = qt.app();
  ui::InitBranding(app);
  ui::InstallSplashAbout(app);

  model::FrmAbout& about = app.frmAbout.Get();
  about.Show();
  EXPECT_EQ(about.Caption(), "About Hearthguard");
  EXPECT_EQ(about.Label1.Caption(), "Hearthguard");
  EXPECT_EQ(about.lblVersion.Caption(), "1.0");
  EXPECT_EQ(about.lblCompany.Caption(), "Hearthguard Software");
  EXPECT_EQ(about.lblWebsite.Caption(), "www.hearthguard.example");
  EXPECT_TRUE(about.IsSkinLabel(about.Label2));
  // The web-site text leads nowhere: it looks like the company's name beside it.
  QWidget* website = qt.screen().WidgetOf(about.lblWebsite);
  EXPECT_EQ(website->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(website->property("hgRole"),
            qt.screen().WidgetOf(about.lblCompany)->property("hgRole"));
  QWidget* window = qt.screen().ViewOf(about)->window();
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  ExpectCentred(*window);
  qt.SavePicture(about);
}

}  // namespace
}  // namespace view_test
