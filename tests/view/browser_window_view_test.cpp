// The browser window on screen over pages of a local server: the address and title after a
// page, the buttons, the deferred end, and, as the tests run as root, an engine without its
// sandbox that opens local pages only.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "qt_app.h"
#include "support/http_test_server.h"
#include "ui/windows/browser_window.h"
#include "view/web_sandbox.h"

namespace view_test {
namespace {

TEST(LocalPageTest, OnlyFilesAndLoopbackAddressesAreLocal) {
  for (const char* local : {"file:///home/user/a.html", "http://127.0.0.1:8080/", "http://[::1]/",
                            "data:text/html,<p>x</p>"})
    EXPECT_TRUE(view::IsLocalPage(QUrl(QString::fromLatin1(local)))) << local;
  for (const char* remote : {"file://server/share/a.html", "http://localhost/",
                             "http://127.0.0.1.hearthguard.example/", "blob:https://x.example/0b"})
    EXPECT_FALSE(view::IsLocalPage(QUrl(QString::fromLatin1(remote)))) << remote;
}

class BrowserWindowViewTest : public ::testing::Test {
 protected:
  BrowserWindowViewTest() {
    const std::string secret = by_name + "/secret";
    server.RouteBody("/home", Page("Home page", "<img src=\"" + secret + ".png\">"), "text/html");
    server.RouteBody("/second", Page("Second page", ""), "text/html");
    server.Route("/away", [secret](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(secret + "?via=redirect");
    });
    ui::InstallBrowserWindow(qt.app());
  }
  void SetUp() override {
#ifndef HG_HAVE_WEBENGINE
    GTEST_SKIP() << "built without the web engine";
#elif defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the web engine deletes some of its own objects by a type of another size, "
                    "where AddressSanitizer stops";
#endif
  }

  static std::string Page(const std::string& title, const std::string& body) {
    return "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1>" + body +
           "</body></html>";
  }
  static machine::VersionInfo Website(const hg_test::HttpTestServer& server) {
    machine::VersionInfo version = hg_test::TestVersionInfo();
    version.comments = server.Url("/home");
    return version;
  }
  model::FrmWebsite& Window() {
    return qt.app().frmWebsite.Peek();
  }
  QWidget* Widget(const forms::Control& control) {
    return qt.screen().WidgetOf(control);
  }
  void Click(const forms::CommandButton& button) {
    QTest::mouseClick(qobject_cast<QPushButton*>(Widget(button)), Qt::LeftButton);
  }
  // Opens the window as the main window's web-site button does.
  void Open() {
    qt.app().frmWebsite->Show();
    ASSERT_TRUE(Shows(server.Url("/home"), "Home page"));
  }
  // The address box and the caption once a page has loaded.
  bool Shows(const std::string& address, const std::string& title) {
    return PumpUntil(
        [&] { return Window().Text1.Text() == address && Window().Caption() == title; });
  }

  hg_test::HttpTestServer server;
  // A name, not an address: refused, though it would reach this same server.
  const std::string by_name = "http://localhost:" + std::to_string(server.port());
  QtApp qt{Website(server)};
};

TEST_F(BrowserWindowViewTest, OpensTheWebsiteFollowsTheUserAndEndsTheProgramWhenDeferredTo) {
  Open();
  QWidget* window = qt.screen().ViewOf(Window())->window();
  EXPECT_TRUE(window->isMaximized());
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // The page fills the browser's place; the status bar lies along the window's bottom.
  QWidget* browser = Widget(Window().WebBrowser1);
  EXPECT_EQ(browser->findChild<QWidget*>()->geometry(), browser->contentsRect());
  QWidget* status = Widget(Window().StatusBar1);
  EXPECT_EQ(status->geometry().bottomRight(), status->parentWidget()->rect().bottomRight());
  qt.SavePicture(Window());
  // A paint arranges the controls as a resize does.
  Window().StatusBar1.SetPanelWidth(0, 15);
  window->update();
  EXPECT_TRUE(
      PumpUntil([&] { return Window().StatusBar1.Panels()[0].width == Window().Width() / 2; }));

  Click(Window().Command4);  // Back without history: nothing happens, and nothing is said
  QTest::qWait(200);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));
  auto* address = Widget(Window().Text1)->findChild<QLineEdit*>();
  address->selectAll();
  QTest::keyClick(address, Qt::Key_Backspace);
  QTest::keyClicks(address, QString::fromStdString(server.Url("/second")));
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_TRUE(Shows(server.Url("/second"), "Second page"));
  Click(Window().Command4);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));

  window->close();
  EXPECT_FALSE(qt.runtime().Ended());
  EXPECT_FALSE(window->isVisible());
  Open();
  qt.app().windows.bExitPending = true;  // what the main window's unload leaves behind
  window->close();
  EXPECT_TRUE(qt.runtime().Ended());
  EXPECT_EQ(qt.app().skin.objSkinHelper.finish_calls(), 1);
}

// The tests run as root: no page from elsewhere is opened, and nothing of one is fetched.
TEST_F(BrowserWindowViewTest, WithoutTheSandboxOnlyLocalPagesOpen) {
  if (view::WebEngineSandboxed())
    GTEST_SKIP() << "the engine has its sandbox here";
  Open();
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
  for (const hg_test::ReceivedRequest& request : server.requests())
    EXPECT_NE(request.path.substr(0, 7), "/secret");
  // Refusals stay out of the history: Back returns to the last page opened.
  Click(Window().Command4);
  EXPECT_TRUE(Shows(server.Url("/home"), "Home page"));
}

}  // namespace
}  // namespace view_test
