// The home-page shield in virtual time: adopting the first page, asking on a change, the
// answers, the options, and the memory shield on every third tick.

#include "engine/shields/home_page_shield.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/timer_group.h"
#include "services/registry_home_page.h"
#include "services/registry_key.h"
#include "support/app_fixture.h"
#include "ui/windows/home_page_alert.h"

namespace {

using hg_test::AppFixture;
using namespace std::string_literals;

constexpr int64_t kTickMs = 5000;
constexpr char kHome[] = "http://home.example/";
constexpr char kHijack[] = "http://hijack.example/";

// An application whose main window runs the shield with the group switched on.
class HomePageShieldTest : public ::testing::Test {
 protected:
  HomePageShieldTest() {
    engine::InstallHomePageShield(app());
    ui::InstallHomePageAlert(app());
    h.main().Load();
    model::ApplyTimerSettings(app(), true);
  }

  model::App& app() { return h.app(); }
  model::FrmHomePageChangedAlert& Alert() { return app().frmHomePageChangedAlert.Peek(); }

  void RemoveStartPageKey() {
    app().machine.registry().DeleteKeyTree(machine::kHkeyCurrentUser, engine::kStartPageKey);
  }
  void SetStartPage(std::string_view page) {
    SetStartPageData(machine::kRegSz, std::string(page) + '\0');
  }
  void SetStartPageData(uint32_t type, std::string_view data) {
    services::ScopedKey key(app().machine.registry());
    ASSERT_EQ(key.Create(machine::kHkeyCurrentUser, engine::kStartPageKey), 0);
    ASSERT_EQ(app().machine.registry().SetValue(key.get(), engine::kStartPageValue, type, data), 0);
  }
  // Nothing when the value cannot be read.
  std::optional<std::string> StartPage() {
    std::string page;
    if (services::ReadRegistryValue(app().system, machine::kHkeyCurrentUser, engine::kStartPageKey,
                                    engine::kStartPageValue, page) != services::RegistryRead::kRead)
      return std::nullopt;
    return page;
  }
  void SaveOption(std::string_view key, std::string_view value) {
    h.Save(model::kOptionsSection, key, value);
  }
  std::string ProtectedPage() {
    return services::ReadSetting(app().system, app().SettingsApplication(), model::kOptionsSection,
                                 "Homepage", "");
  }
  // One tick; `answer` runs once the alert is up, and the alert's text is kept.
  void Tick(const std::function<void()>& answer = {}) {
    if (answer) {
      // Just after the tick, so it arrives inside the alert's modal loop.
      h.backend.AtTime(h.backend.NowMs() + kTickMs + 1, "answer the alert", [this, answer] {
        asked = Alert().Loaded() && Alert().ShownModal();
        question = Alert().lblHomePageInfo.Caption();
        tick_marked_running = app().shields.bShieldTickRunning;
        answer();
      });
    }
    h.backend.AdvanceMs(kTickMs);
  }

  AppFixture h;
  bool asked = false;
  std::string question;
  bool tick_marked_running = false;
};

TEST_F(HomePageShieldTest, TheFirstTickAdoptsTheStartPageWithoutAsking) {
  SetStartPage(kHome);
  Tick();
  EXPECT_EQ(ProtectedPage(), kHome);
  EXPECT_FALSE(Alert().Loaded());
  EXPECT_FALSE(app().shields.bShieldTickRunning);
  EXPECT_TRUE(h.main().tmrCheckHomePage.Enabled());
}

// An empty page would make every later tick a first run that adopts whatever comes.
TEST_F(HomePageShieldTest, AnEmptyStartPageCountsAsBlank) {
  SetStartPage("");
  Tick();
  EXPECT_EQ(ProtectedPage(), "about:blank");
}

TEST_F(HomePageShieldTest, AChangeAsksWithBothPagesAndTheProductName) {
  SaveOption("Homepage", kHome);
  SetStartPage(kHijack);
  Tick([this] { Alert().UserClose(); });
  EXPECT_TRUE(asked);
  EXPECT_TRUE(tick_marked_running);
  EXPECT_EQ(Alert().lblFrmHomePageProductName.Caption(), "Hearthguard");
  EXPECT_EQ(question,
            "Hearthguard has detected that your Homepage has been changed.\r\n\r\n"
            "Click YES to keep your homepage as:\r\nhttp://home.example/\r\n\r\n"
            "Click No to change your homepage to:\r\nhttp://hijack.example/");
  // Closed without an answer: nothing changes, and the next tick asks again.
  EXPECT_EQ(ProtectedPage(), kHome);
  EXPECT_EQ(StartPage(), kHijack);
  asked = false;
  Tick([this] { Alert().cmdNo.UserClick(); });
  EXPECT_TRUE(asked);
}

// As from the debug menu: nothing has been read, so nothing is restored or adopted.
TEST_F(HomePageShieldTest, AnAlertAnsweredBeforeAnyTickChangesNothing) {
  SaveOption("Homepage", kHome);
  SetStartPage(kHijack);
  for (forms::CommandButton* button : {&Alert().cmdYes, &Alert().cmdNo}) {
    app().frmHomePageChangedAlert->Show();
    EXPECT_TRUE(button->UserClick());
    EXPECT_FALSE(Alert().Loaded());
  }
  EXPECT_EQ(StartPage(), kHijack);
  EXPECT_EQ(ProtectedPage(), kHome);
}

TEST_F(HomePageShieldTest, WithoutAskingTheOptionsDecide) {
  struct Case {
    const char* what;
    const char* silent_restore;
    const char* start_page_after;
  };
  const Case cases[] = {
      {"restored without a window", "True", kHome},
      {"left as it is at every tick", "False", kHijack},
  };
  SaveOption("Homepage", kHome);
  SaveOption("optAlwaysnotifybeforerestoring", "False");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveOption("optRestoredefaultwithoutnotification", c.silent_restore);
    SetStartPage(kHijack);
    Tick();
    Tick();
    EXPECT_EQ(StartPage(), c.start_page_after);
    EXPECT_EQ(ProtectedPage(), kHome);
    EXPECT_FALSE(Alert().Loaded());
  }
}

TEST_F(HomePageShieldTest, WithItsOptionOffATickStillRunsTheMemoryShieldEveryThirdTime) {
  SaveOption("optIEHomePageSheildOn", "False");
  SetStartPage(kHome);
  std::vector<bool> memory_ran;
  for (int tick = 0; tick < 6; ++tick) {
    // As the option's buttons would: the tick itself stops the timer again.
    h.main().tmrCheckHomePage.SetEnabled(true);
    h.main().lblTotalNoOfRunningItems.SetCaption("");
    Tick();
    memory_ran.push_back(!h.main().lblTotalNoOfRunningItems.Caption().empty());
    EXPECT_FALSE(h.main().tmrCheckHomePage.Enabled());
  }
  EXPECT_EQ(memory_ran, (std::vector<bool>{false, false, true, false, false, true}));
  EXPECT_EQ(ProtectedPage(), "");
}

// Another shield tick may be waiting for an answer; the scan checks running programs itself.
TEST_F(HomePageShieldTest, ATickDoesNothingWhileOtherWorkRuns) {
  struct Case {
    const char* what;
    std::function<void(model::App&, bool)> set;
  };
  const Case cases[] = {
      {"a shield tick", [](model::App& a, bool on) { a.shields.bShieldTickRunning = on; }},
      {"a scan",
       [](model::App& a, bool on) {
         a.frmMain.cmdScan.SetEnabled(!on);
         a.frmMain.cmdScanNow.SetEnabled(!on);
       }},
      {"a removal", [](model::App& a, bool on) { a.scan.bRemovalRunning = on; }},
      {"a Live Update", [](model::App& a, bool on) { a.scan.bLiveUpdateRunning = on; }},
  };
  SetStartPage(kHome);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.set(app(), true);
    h.main().lblTotalNoOfRunningItems.SetCaption("");
    for (int tick = 0; tick < 3; ++tick)
      engine::tmrCheckHomePage_Timer(app());
    EXPECT_EQ(ProtectedPage(), "");
    EXPECT_EQ(h.main().lblTotalNoOfRunningItems.Caption(), "");
    EXPECT_EQ(app().shields.intHomePageTicks, 0);
    c.set(app(), false);
  }
}

TEST_F(HomePageShieldTest, YesRestoresAndNoAdopts) {
  struct Case {
    const char* what;
    std::optional<std::string> start_page;  // nothing: the key is missing
    bool yes;
    std::optional<std::string> start_page_after;
    std::string protected_after;
  };
  const std::string upper = "HTTP://HOME.EXAMPLE/";
  const Case cases[] = {
      {"Yes restores", kHijack, true, kHome, kHome},
      {"Yes creates the missing key", std::nullopt, true, kHome, kHome},
      {"No adopts", kHijack, false, kHijack, kHijack},
      {"a change of letter case counts", upper, false, upper, upper},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveOption("Homepage", kHome);
    if (c.start_page)
      SetStartPage(*c.start_page);
    else
      RemoveStartPageKey();
    asked = false;
    Tick([this, yes = c.yes] { (yes ? Alert().cmdYes : Alert().cmdNo).UserClick(); });
    EXPECT_TRUE(asked);
    EXPECT_FALSE(Alert().Loaded());
    EXPECT_EQ(StartPage(), c.start_page_after);
    EXPECT_EQ(ProtectedPage(), c.protected_after);
  }
}

// A page of any length or string type is read whole; one that cannot be read is no page at
// all, never "about:blank" to ask about or to adopt.
TEST_F(HomePageShieldTest, AStartPageIsReadWholeOrNotAtAll) {
  struct Case {
    const char* what;
    uint32_t type;
    std::string data;
    std::string protected_before;
    bool asks;
    std::string protected_after;  // after the answer No
  };
  const std::string long_page = kHijack + std::string(1100, 'x');
  const Case cases[] = {
      {"a long page", machine::kRegSz, long_page + '\0', kHome, true, long_page},
      {"an expandable string", machine::kRegExpandSz, kHijack + "\0"s, kHome, true, kHijack},
      {"binary data", machine::kRegBinary, kHijack, kHome, false, kHome},
      {"binary data at the first tick", machine::kRegBinary, kHijack, "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveOption("Homepage", c.protected_before);
    SetStartPageData(c.type, c.data);
    asked = false;
    Tick([this] {
      if (Alert().Loaded())
        Alert().cmdNo.UserClick();
    });
    EXPECT_EQ(asked, c.asks);
    EXPECT_EQ(ProtectedPage(), c.protected_after);
  }
}

}  // namespace
