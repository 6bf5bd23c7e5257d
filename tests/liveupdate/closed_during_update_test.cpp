// Closing the main window while Live Update downloads, with the browser window keeping the
// program alive: the download in hand finishes, nothing after it runs and no notification rises.

#include <gtest/gtest.h>

#include "model/app.h"
#include "support/app_fixture.h"
#include "support/http_test_server.h"
#include "ui/main/layout.h"
#include "ui/main/live_update_run.h"
#include "ui/main/shutdown.h"

namespace {

TEST(ClosedDuringUpdate, TheUpdateEndsAfterTheDownloadInHand) {
  hg_test::HttpTestServer server;
  hg_test::AppFixture h(
      [&server](hg_test::TempMachine& t) { t.profile().update_server_url = server.base_url(); });
  server.RouteBody("/asp/currentDate.asp", "6/1/2006 12:00:00 AM");
  server.RouteBody("/asp/getDefs.asp", "ADD|1|Bad|C:\\bad.exe[BR]");
  model::App& app = h.app();
  ui::InstallLiveUpdate(app);
  ui::InstallLayout(app);
  ui::InstallShutdown(app);
  h.main().Load();
  h.main().Show();
  app.frmWebsite->Show();

  h.backend.AtYield(1, "close", [&h] { h.main().UserClose(); });
  ui::cmdUpdate_Click(app);

  ASSERT_EQ(server.request_count(), 1u);
  EXPECT_EQ(server.last_request().path, "/asp/currentDate.asp");
  EXPECT_FALSE(app.frmSignatureUpdated.Loaded());
  EXPECT_FALSE(app.frmDownload.Loaded());
  EXPECT_FALSE(app.scan.bLiveUpdateRunning);
  EXPECT_FALSE(h.runtime().Ended());
}

}  // namespace
