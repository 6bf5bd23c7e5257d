// The browser window's logic without a screen: the order of its opening and its layout at any
// size. Its pages, buttons and closing are tested on screen (tests/view).

#include "ui/windows/browser_window.h"

#include <gtest/gtest.h>

#include "support/app_fixture.h"

namespace {

class BrowserWindowTest : public ::testing::Test {
 protected:
  BrowserWindowTest() {
    h.app().skin.objSkin = &h.app().frmSplash.Peek().skn;
    ui::InstallBrowserWindow(h.app());
  }

  model::FrmWebsite& Window() { return h.app().frmWebsite.Peek(); }

  hg_test::AppFixture h;
};

TEST_F(BrowserWindowTest, OpeningNavigatesToTheWebsiteWhileOnTopThenMaximises) {
  h.app().branding.strWebsite = "stale";
  h.app().windows.strWebsiteMode = "Other";
  std::string at_navigation;
  Window().WebBrowser1.command_sink = [&](forms::Browser& browser, forms::Browser::Command) {
    at_navigation = browser.LocationUrl() + (Window().TopMost() ? " top-most " : " ") +
                    h.app().windows.strWebsiteMode;
    EXPECT_EQ(Window().GetWindowState(), forms::WindowState::kNormal);
  };

  h.app().frmWebsite->Show();
  EXPECT_EQ(at_navigation, "www.hearthguard.example top-most Other");
  EXPECT_EQ(Window().Caption(), "www.hearthguard.example");
  EXPECT_EQ(h.app().windows.strWebsiteMode, "Website");
  EXPECT_EQ(Window().GetWindowState(), forms::WindowState::kMaximized);
  EXPECT_FALSE(Window().TopMost());
  EXPECT_TRUE(h.app().skin.objSkin->IsSkinned(Window().hWnd()));
  // Each opening starts again from the design's one panel.
  h.app().frmWebsite.Unload();
  h.app().frmWebsite->Show();
  EXPECT_EQ(Window().StatusBar1.PanelCount(), 2);
}

TEST_F(BrowserWindowTest, TheLayoutFollowsTheWindowAndStaysPositiveAtAnySize) {
  model::FrmWebsite& window = h.app().frmWebsite.Get();
  struct Case {
    double width, height;
    double frame_width, frame_height, text_width, go_left, browser_width, browser_height;
  };
  // The smallest window is narrower than the margins: sizes come out as absolute values.
  const Case cases[] = {
      {9600, 7200, 9300, 6855, 7365, 8305, 9080, 4510},
      {0, 0, 300, 345, 1635, 2575, 80, 2000},
  };
  for (const Case& c : cases) {
    window.UserResize(c.width, c.height);
    const std::vector<double> panels = {window.StatusBar1.Panels()[0].width,
                                        window.StatusBar1.Panels()[1].width};
    EXPECT_EQ(panels, std::vector<double>(2, c.width / 2));
    const std::vector<double> sizes = {window.frmBrowser.Width(),  window.frmBrowser.Height(),
                                       window.Text1.Width(),       window.Command3.Left(),
                                       window.WebBrowser1.Width(), window.WebBrowser1.Height()};
    EXPECT_EQ(sizes, (std::vector<double>{c.frame_width, c.frame_height, c.text_width, c.go_left,
                                          c.browser_width, c.browser_height}))
        << c.width;
  }
}

}  // namespace
