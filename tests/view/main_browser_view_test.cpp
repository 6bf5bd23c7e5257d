#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "qt_app.h"
#include "ui/main/browser_events.h"

namespace view_test {
namespace {

// The web engine's own code trips the address sanitizer (mismatched sized deletes, leaks at
// exit), so the real page runs in the plain build only.
#if defined(HG_HAVE_WEBENGINE) && !defined(__SANITIZE_ADDRESS__)
int ShownWindows() {
  int shown = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    shown += widget->isVisible() ? 1 : 0;
  return shown;
}

TEST(MainBrowserViewTest, APageInTheHiddenBrowserOpensNoPopUp) {
  QtApp qt;
  model::FrmMain& w = qt.app().frmMain;
  ui::InstallBrowserEvents(qt.app());
  int asked = 0;
  auto refuse = w.wbrMain.on_new_window;
  w.wbrMain.on_new_window = [&](bool& cancel) {
    ++asked;
    refuse(cancel);
  };
  w.Show();
  const int windows = ShownWindows();

  const std::filesystem::path page = qt.temp.root() / "popup.html";
  std::ofstream(page) << "<html><head><title>Pop-up</title></head><body><script>"
                         "window.open('about:blank', '_blank');"
                         "</script></body></html>";
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
  w.wbrMain.Navigate(url.toString().toStdString());
  ASSERT_TRUE(PumpUntil([&] { return asked > 0 && !w.wbrMain.LocationName().empty(); }));
  QTest::qWait(500);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ShownWindows(), windows);
  EXPECT_EQ(w.wbrMain.LocationUrl(), url.toString().toStdString());
  EXPECT_EQ(w.wbrMain.LocationName(), "Pop-up");
}
#endif

}  // namespace
}  // namespace view_test
