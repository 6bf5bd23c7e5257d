// The browser window's logic without a screen: the order of its opening, what its buttons and
// its address box ask of the browser, what the page's events show, its layout at any size,
// and the deferred end of the program.

#include "ui/windows/browser_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_fixture.h"

namespace {

using Command = forms::Browser::Command;

class BrowserWindowTest : public ::testing::Test {
 protected:
  BrowserWindowTest() {
    h.app().skin.objSkin = &h.app().frmSplash.Peek().skn;
    ui::InstallBrowserWindow(h.app());
    Window().WebBrowser1.command_sink = [this](forms::Browser& browser, Command command) {
      commands.push_back(command);
      if (command == Command::kNavigate)
        navigated.push_back(browser.LocationUrl());
    };
  }

  model::FrmWebsite& Window() { return h.app().frmWebsite.Peek(); }

  hg_test::AppFixture h;
  std::vector<Command> commands;
  std::vector<std::string> navigated;
};

TEST_F(BrowserWindowTest, OpeningNavigatesToTheWebsiteWhileOnTopThenMaximises) {
  h.app().branding.strWebsite = "stale";
  h.app().windows.strWebsiteMode = "Other";
  struct AtNavigation {
    bool top_most;
    forms::WindowState state;
    std::string mode;
  };
  std::vector<AtNavigation> seen;
  Window().WebBrowser1.command_sink = [&](forms::Browser& browser, Command) {
    navigated.push_back(browser.LocationUrl());
    seen.push_back({Window().TopMost(), Window().GetWindowState(), h.app().windows.strWebsiteMode});
  };

  h.app().frmWebsite->Show();

  model::FrmWebsite& window = Window();
  EXPECT_EQ(navigated, (std::vector<std::string>{"www.hearthguard.example"}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].top_most);
  EXPECT_EQ(seen[0].state, forms::WindowState::kNormal);
  EXPECT_EQ(seen[0].mode, "Other");
  EXPECT_EQ(window.Caption(), "www.hearthguard.example");
  EXPECT_EQ(h.app().windows.strWebsiteMode, "Website");
  EXPECT_EQ(window.GetWindowState(), forms::WindowState::kMaximized);
  EXPECT_FALSE(window.TopMost());
  EXPECT_TRUE(h.app().skin.objSkin->IsSkinned(window.hWnd()));
  EXPECT_EQ(window.StatusBar1.PanelCount(), 2);

  // Each opening starts again from the design: still two panels.
  h.app().frmWebsite.Unload();
  h.app().frmWebsite->Show();
  EXPECT_EQ(Window().StatusBar1.PanelCount(), 2);
}

TEST_F(BrowserWindowTest, ButtonsAndTheAddressBoxCommandTheBrowserAndItsPageShows) {
  model::FrmWebsite& window = h.app().frmWebsite.Get();
  window.Show();
  commands.clear();
  navigated.clear();

  window.Text1.UserSetText("  typed.example/a b ");
  EXPECT_TRUE(window.Command3.UserClick());
  EXPECT_TRUE(window.Text1.UserKeyPress('x'));
  EXPECT_TRUE(window.Text1.UserKeyPress(13));
  for (forms::CommandButton* button :
       {&window.Command4, &window.Command5, &window.Command6, &window.Command7})
    EXPECT_TRUE(button->UserClick());
  EXPECT_EQ(navigated, (std::vector<std::string>{"  typed.example/a b ", "  typed.example/a b x"}));
  EXPECT_EQ(commands,
            (std::vector<Command>{Command::kNavigate, Command::kNavigate, Command::kGoBack,
                                  Command::kGoForward, Command::kStop, Command::kRefresh}));

  window.WebBrowser1.ViewStatusTextChanged("http://typed.example/link");
  window.WebBrowser1.ViewDownloadComplete("http://typed.example/a%20b", "Typed page");
  EXPECT_EQ(window.StatusBar1.PanelText(0), "http://typed.example/link");
  EXPECT_EQ(window.StatusBar1.PanelText(1), "");
  EXPECT_EQ(window.Text1.Text(), "http://typed.example/a%20b");
  EXPECT_EQ(window.Caption(), "Typed page");
}

TEST_F(BrowserWindowTest, TheLayoutFollowsTheWindowAndStaysPositiveAtAnySize) {
  model::FrmWebsite& window = h.app().frmWebsite.Get();
  struct Case {
    double width, height;
    double frame_width, frame_height, text_width, go_left, browser_width, browser_height;
  };
  // The frame's margins exceed the smallest windows: sizes come out as absolute values.
  const Case cases[] = {
      {9600, 7200, 9300, 6855, 7365, 8305, 9080, 4510},
      {12000, 9000, 11700, 8655, 9765, 10705, 11480, 6310},
      {0, 0, 300, 345, 1635, 2575, 80, 2000},
  };
  for (const Case& c : cases) {
    window.UserResize(c.width, c.height);
    EXPECT_EQ(window.StatusBar1.Panels()[0].width, c.width / 2) << c.width;
    EXPECT_EQ(window.StatusBar1.Panels()[1].width, c.width / 2) << c.width;
    EXPECT_EQ(window.frmBrowser.Width(), c.frame_width) << c.width;
    EXPECT_EQ(window.frmBrowser.Height(), c.frame_height) << c.width;
    EXPECT_EQ(window.Text1.Width(), c.text_width) << c.width;
    EXPECT_EQ(window.Command3.Left(), c.go_left) << c.width;
    EXPECT_EQ(window.WebBrowser1.Width(), c.browser_width) << c.width;
    EXPECT_EQ(window.WebBrowser1.Height(), c.browser_height) << c.width;
  }
}

TEST_F(BrowserWindowTest, ClosingEndsTheProgramOnlyWhenTheEndWasDeferredToIt) {
  struct Case {
    bool exit_pending, use_skin;
    bool ended;
    int finish_calls;
  };
  const Case cases[] = {{false, true, false, 0}, {true, false, true, 0}, {true, true, true, 1}};
  for (const Case& c : cases) {
    hg_test::AppFixture fixture;
    model::App& app = fixture.app();
    app.skin.objSkin = &app.frmSplash.Peek().skn;
    ui::InstallBrowserWindow(app);
    app.frmWebsite->Show();
    app.branding.bUseSkin = c.use_skin;
    app.windows.bExitPending = c.exit_pending;
    EXPECT_TRUE(app.frmWebsite->UserClose());
    EXPECT_EQ(fixture.runtime().Ended(), c.ended) << c.exit_pending << c.use_skin;
    EXPECT_EQ(app.skin.objSkinHelper.finish_calls(), c.finish_calls) << c.exit_pending;
    if (!c.ended) {
      EXPECT_FALSE(app.frmWebsite.Peek().Loaded());
    }
  }
}

}  // namespace
