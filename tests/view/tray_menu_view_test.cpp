// The tray menu on screen, skinned, and its buttons as the user presses them.

#include <gtest/gtest.h>

#include <QTest>

#include "model/sliding_windows.h"
#include "qt_app.h"
#include "ui/windows/branding.h"
#include "ui/windows/tray_menu.h"

namespace view_test {
namespace {

TEST(TrayMenuView, TheMenuOnScreenAndItsCloseButton) {
  QtApp qt;
  model::App& app = qt.app();
  ui::InitBranding(app);
  ui::InstallTrayMenu(app);
  model::FrmMenuPopUp& menu = app.frmMenuPopUp.Get();
  qt.runtime().Yield();
  EXPECT_FALSE(qt.screen().ViewOf(menu)->window()->styleSheet().isEmpty());
  qt.SavePicture(menu);

  QWidget* close = qt.screen().WidgetOf(menu.lblMenuClose);
  ASSERT_NE(close, nullptr);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_TRUE(menu.tmrPopDown.Enabled());

  // A scan from the menu goes through "Show Program", which closes the menu too.
  menu.tmrPopDown.SetEnabled(false);
  ui::ScanNowFromMenu(app);
  EXPECT_TRUE(app.frmMain.Visible());
  EXPECT_TRUE(menu.tmrPopDown.Enabled());
}

}  // namespace
}  // namespace view_test
