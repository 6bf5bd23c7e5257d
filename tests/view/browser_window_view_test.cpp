// The browser window on screen over pages of a local server: what it opens, the address and
// title after a page, the buttons, the deferred end, and, as the tests run as root, an engine
// without its sandbox that opens local pages only.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "qt_app.h"
#include "support/http_test_server.h"
#include "ui/windows/browser_window.h"
#include "view/web_sandbox.h"

#ifdef HG_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace view_test {
namespace {

TEST(LocalPageTest, OnlyFilesAndLoopbackAddressesAreLocal) {
  const std::pair<const char*, bool> cases[] = {
      {"file:///home/user/page.html", true},
      {"file://server/share/page.html", false},
      {"http://127.0.0.1:8080/", true},
      {"https://127.255.0.9/", true},
      {"http://[::1]:8080/", true},
      {"about:blank", true},
      {"data:text/html,<p>x</p>", true},
      {"blob:http://127.0.0.1:8080/0b7e", true},
      {"blob:https://www.hearthguard.example/0b7e", false},
      {"http://localhost:8080/", false},
      {"http://127.0.0.1.hearthguard.example/", false},
      {"http://128.0.0.1/", false},
      {"http://192.0.2.1/", false},
      {"https://www.hearthguard.example/", false},
      {"ftp://ftp.hearthguard.example/", false},
      {"mailto:someone@hearthguard.example", false},
  };
  for (const auto& [address, local] : cases)
    EXPECT_EQ(view::IsLocalPage(QUrl(QString::fromLatin1(address))), local) << address;
}

TEST(LocalPageTest, AsRootTheEngineHasNoSandbox) {
  if (geteuid() != 0)
    GTEST_SKIP() << "only the superuser runs the engine without its sandbox";
  EXPECT_FALSE(view::WebEngineSandboxed());
}

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body +
         "</body></html>";
}

class BrowserWindowViewTest : public ::testing::Test {
 protected:
  BrowserWindowViewTest() {
    // A name, not an address: refused, though it would reach this same server.
    const std::string by_name = "http://localhost:" + std::to_string(server.port());
    server.RouteBody("/home",
                     Page("Home page", "<h1>Welcome</h1><p>Local page.</p><img src=\"" + by_name +
                                           "/secret.png\">"),
                     "text/html");
    server.RouteBody("/second", Page("Second page", "<p>Another one.</p>"), "text/html");
    server.RouteBody("/secret.png", "", "image/png");
    server.RouteBody("/secret", Page("Secret", ""), "text/html");
    server.Route("/away", [by_name](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(by_name + "/secret?via=redirect");
    });
    ui::InstallBrowserWindow(qt.app());
  }
  void SetUp() override {
#ifndef HG_HAVE_WEBENGINE
    GTEST_SKIP() << "built without the web engine";
#endif
  }

  static machine::VersionInfo Website(const hg_test::HttpTestServer& server) {
    machine::VersionInfo version = hg_test::TestVersionInfo();
    version.comments = server.Url("/home");
    return version;
  }
  model::FrmWebsite& Window() {
    return qt.app().frmWebsite.Peek();
  }
  QWidget* WindowWidget() {
    return qt.screen().ViewOf(Window())->window();
  }
  template <class W>
  W* Widget(const forms::Control& control) {
    QWidget* widget = qt.screen().WidgetOf(control);
    W* typed = qobject_cast<W*>(widget);
    return typed ? typed : widget->findChild<W*>();
  }
  void Click(const forms::CommandButton& button) {
    QTest::mouseClick(Widget<QPushButton>(button), Qt::LeftButton);
  }
  // Opens the window as the main window's web-site button does, and waits for its page.
  void Open() {
    qt.app().windows.strWebsiteMode = "Website";
    qt.app().frmWebsite->Show();
    ASSERT_TRUE(Shows(server.Url("/home"), "Home page"));
  }
  // The address box and the caption, once a page has loaded.
  bool Shows(const std::string& address, const std::string& title) {
    return PumpUntil(
        [&] { return Window().Text1.Text() == address && Window().Caption() == title; });
  }
  bool Requested(const std::string& path) {
    for (const hg_test::ReceivedRequest& request : server.requests()) {
      if (request.path == path)
        return true;
    }
    return false;
  }

  hg_test::HttpTestServer server;
  QtApp qt{Website(server)};
};

TEST_F(BrowserWindowViewTest, OpensTheWebsiteAndFollowsTheUser) {
  Open();
  EXPECT_EQ(qt.app().windows.strWebsiteMode, "Website");
  EXPECT_TRUE(WindowWidget()->isMaximized());
  EXPECT_FALSE(WindowWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(Window().StatusBar1.PanelCount(), 2);
#ifdef HG_HAVE_WEBENGINE
  // The page fills the browser's place, and the status bar lies along the window's bottom.
  QWidget* holder = qt.screen().WidgetOf(Window().WebBrowser1);
  EXPECT_EQ(holder->findChild<QWebEngineView*>()->geometry(), holder->contentsRect());
  QWidget* status = qt.screen().WidgetOf(Window().StatusBar1);
  EXPECT_EQ(status->geometry().bottom(), status->parentWidget()->rect().bottom());
  EXPECT_EQ(status->width(), status->parentWidget()->width());
#endif
  qt.SavePicture(Window());

  // Back without history: nothing happens, and nothing is said.
  Click(Window().Command4);
  QTest::qWait(200);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));

  auto* address = Widget<QLineEdit>(Window().Text1);
  address->selectAll();
  QTest::keyClick(address, Qt::Key_Backspace);
  QTest::keyClicks(address, QString::fromStdString(server.Url("/second")));
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_TRUE(Shows(server.Url("/second"), "Second page"));
  Click(Window().Command4);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));
  Click(Window().Command5);
  EXPECT_TRUE(Shows(server.Url("/second"), "Second page"));
}

TEST_F(BrowserWindowViewTest, ClosingEndsTheProgramOnlyOnceTheMainWindowHasClosed) {
  Open();
  WindowWidget()->close();
  EXPECT_FALSE(qt.runtime().Ended());
  EXPECT_FALSE(Window().Loaded());
  EXPECT_FALSE(WindowWidget()->isVisible());

  Open();
  qt.app().windows.bExitPending = true;  // what the main window's unload leaves behind
  WindowWidget()->close();
  EXPECT_TRUE(qt.runtime().Ended());
  EXPECT_EQ(qt.app().skin.objSkinHelper.finish_calls(), 1);
}

// The tests run as root: no page from elsewhere is opened, and none is fetched.
TEST_F(BrowserWindowViewTest, WithoutTheSandboxOnlyLocalPagesOpen) {
  if (view::WebEngineSandboxed())
    GTEST_SKIP() << "the engine has its sandbox here";
  Open();
  EXPECT_FALSE(Requested("/secret.png"));
  const std::string by_name = "http://localhost:" + std::to_string(server.port());
  const std::pair<std::string, std::string> cases[] = {
      {"http://192.0.2.1/page", "http://192.0.2.1/page"},
      {by_name + "/secret", by_name + "/secret"},
      {server.Url("/away"), by_name + "/secret?via=redirect"},
  };
  for (const auto& [typed, shown] : cases) {
    Window().Text1.SetText(typed);
    Click(Window().Command3);
    EXPECT_TRUE(Shows(shown, "Page not opened")) << typed;
  }
  qt.SavePicture(Window(), "frmWebsite-refused");
  // Refusals stay out of the history: Back returns to the last page opened.
  Click(Window().Command4);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));
  EXPECT_FALSE(Requested("/secret"));
  EXPECT_TRUE(Requested("/away"));
}

}  // namespace
}  // namespace view_test
