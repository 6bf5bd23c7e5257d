// The automatic update in virtual time, the support list and the definition downloads.

#include <gtest/gtest.h>

#include <string>

#include "engine/definitions/definition_downloads.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "support/app_fixture.h"
#include "support/http_test_server.h"
#include "ui/main/live_update_run.h"

namespace {

using hg_test::AppFixture;
using hg_test::HttpTestServer;

class LiveUpdateTriggers : public testing::Test {
 protected:
  LiveUpdateTriggers()
      : h_([this](hg_test::TempMachine& t) {
          t.profile().update_server_url = server_.base_url();
        }) {
    server_.RouteBody("/asp/currentDate.asp", "3/16/2006 12:00:00 AM");
    ui::InstallLiveUpdate(h_.app());
  }

  HttpTestServer server_;
  AppFixture h_;
};

TEST_F(LiveUpdateTriggers, AutomaticUpdateRunsOnceAfter300IdleTicksNotCountingScansOrRemovals) {
  model::FrmMain& main = h_.main();
  main.Load();
  main.timUpdate.SetEnabled(true);
  // 100 seconds of scanning and 50 of removing count nothing.
  main.cmdScanNow.SetEnabled(false);
  main.cmdScan.SetEnabled(false);
  h_.backend.AdvanceMs(100'000);
  main.cmdScanNow.SetEnabled(true);
  main.cmdScan.SetEnabled(true);
  h_.app().scan.bRemovalRunning = true;
  h_.backend.AdvanceMs(50'000);
  h_.app().scan.bRemovalRunning = false;
  h_.backend.AdvanceMs(300'000);
  EXPECT_EQ(server_.request_count(), 0u);

  h_.backend.AdvanceMs(1'000);
  EXPECT_EQ(server_.request_count(), 1u);
  EXPECT_FALSE(main.timUpdate.Enabled());
  EXPECT_EQ(main.lngUpdateIdleTicks, 0);

  h_.backend.AdvanceMs(600'000);
  EXPECT_EQ(server_.request_count(), 1u);
}

TEST_F(LiveUpdateTriggers, ShiftClickListsTheSupportAddresses) {
  struct Case {
    const char* website;
    int shift;
    std::string first_line;  // "" = no list
  };
  const Case cases[] = {
      {"HTTP://Shop.Example/deals/today", forms::kShiftMask,
       "http://www.Shop.Example/definitions/version/R.HTM\r\n"},
      {"www.partner.example", forms::kShiftMask,
       "http://www.partner.example/definitions/version/R.HTM\r\n"},
      {engine::kPlaceholderWebsite.data(), forms::kShiftMask,
       server_.base_url() + "/definitions/version/R.HTM\r\n"},
      {"www.partner.example", forms::kShiftMask | 2, ""},
  };
  h_.main().Load();
  h_.main().Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.website);
    h_.app().branding.strWebsite = c.website;
    const size_t boxes = h_.backend.MessageBoxes().size();
    if (!c.first_line.empty())
      h_.backend.ExpectMsgBox(services::vbOK, c.first_line);
    h_.main().cmdUpdate.UserMouseDown({.button = 1, .shift = c.shift});
    ASSERT_EQ(h_.backend.MessageBoxes().size(), boxes + (c.first_line.empty() ? 0 : 1));
    if (!c.first_line.empty()) {
      const std::string& text = h_.backend.MessageBoxes().back().prompt;
      EXPECT_EQ(text.rfind(c.first_line, 0), 0u);
      EXPECT_TRUE(text.ends_with("/definitions/data/ExeDefinition.dat\r\n"));
    }
  }
}

TEST_F(LiveUpdateTriggers, DefinitionDownloadsFetchIntoReplacementsAndSaveTheirVersion) {
  struct Case {
    void (*download)(model::App&, int32_t);
    const char* file;
    const char* key;
  };
  const Case cases[] = {
      {engine::DownloadRegistryDefinitions, "RegistryDefinition.dat", "RegistryDefinition"},
      {engine::DownloadFileDefinitions, "FileDefinition.dat", "FileDefinition"},
      {engine::DownloadExeDefinitions, "ExeDefinition.dat", "EXEDefinition"},
      {engine::DownloadCookieDefinitions, "BlockedCookies.dat", "CookieDefinition"},
  };
  h_.app().definitions.strUpdateBaseUrl = server_.base_url();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    server_.RouteBody(std::string("/definitions/data/") + c.file, c.key);
    c.download(h_.app(), 7);
    EXPECT_EQ(
        h_.machine().files().ReadFile(h_.machine().profile().program_folder + "\\DL" + c.file),
        c.key);
    EXPECT_EQ(services::ReadSetting(h_.app().system, h_.app().SettingsApplication(),
                                    model::kOptionsSection, c.key, ""),
              "7");
  }

  h_.backend.ExpectMsgBox(services::vbOK, "could not be downloaded.  Please check");
  h_.app().definitions.strUpdateBaseUrl = server_.Url("/elsewhere");
  engine::DownloadFileDefinitions(h_.app(), 8);
  EXPECT_EQ(h_.backend.MessageBoxes().back().style, services::vbCritical);
}

}  // namespace
