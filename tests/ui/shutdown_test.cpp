// Closing the main window: the keys it writes, the order the other windows go in, the end of
// the program or, with the browser window open, its deferral, and what happens to work that
// was running when the window went.

#include "ui/main/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/result_rows.h"
#include "model/timer_group.h"
#include "removal/quarantine_store.h"
#include "removal/removal.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "support/app_fixture.h"
#include "support/recording_tray_host.h"
#include "ui/main/layout.h"

namespace {

using forms::WindowState;

class ShutdownTest : public ::testing::Test {
 protected:
  ShutdownTest() {
    ui::InstallLayout(h.app());
    ui::InstallShutdown(h.app());
    h.app().objTray.SetHost(&tray);
    main.Load();
    main.Show();
  }

  std::string Setting(std::string_view section, std::string_view key) {
    return services::ReadSetting(h.app().system, h.app().SettingsApplication(), section, key,
                                 "<none>");
  }
  void OpenBrowserWindow() { h.app().frmWebsite->Show(); }

  hg_test::AppFixture h;
  hg_test::RecordingTrayHost tray;
  model::FrmMain& main = h.main();
};

TEST_F(ShutdownTest, ClosingSavesTheRunStateColumnsAndMaximisedStateThenEnds) {
  h.app().objTray.ShowIcon(main);
  // Maximised, then put away in the tray: it comes back maximised, so that is what is saved.
  main.SetWindowState(WindowState::kMaximized);
  main.SetWindowState(WindowState::kMinimized);
  const double widths[] = {2066.25, 4132.5, 1400};
  for (int column = 0; column < 3; ++column)
    main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.SetColumnWidth(column, widths[column]);
  EXPECT_TRUE(main.UserClose());
  EXPECT_EQ(Setting(model::kOptionsSection, "RESTART"), "False");
  EXPECT_EQ(Setting(model::kOptionsSection, "STATUS"), "STOPPED");
  EXPECT_EQ(Setting("Settings", "FoundCol21"), "2066.25");
  EXPECT_EQ(Setting("Settings", "FoundCol22"), "4132.5");
  EXPECT_EQ(Setting("Settings", "FoundCol23"), "1400");
  EXPECT_EQ(Setting("Settings", "FoundCol24"), "<none>");
  EXPECT_EQ(Setting("Settings", "Max"), "1");
  EXPECT_TRUE(tray.tips.empty());
  EXPECT_EQ(h.app().skin.objSkinHelper.finish_calls(), 1);
  EXPECT_TRUE(h.runtime().Ended());
}

TEST_F(ShutdownTest, TheOtherWindowsGoInTheirOrderAndUnloadedOnesStayUnloaded) {
  model::App& app = h.app();
  std::vector<std::string> order;
  std::vector<model::Window*> loaded = {&app.Form8.Get(),
                                        &app.frmDownload.Get(),
                                        &app.frmHomePageChangedAlert.Get(),
                                        &app.frmMenuPopUp.Get(),
                                        &app.frmReport.Get(),
                                        &app.frmSignatureUpdated.Get(),
                                        &app.frmSpywareFoundAlert.Get(),
                                        &app.frmHidden.Get(),
                                        &app.frmDelete.Get()};
  for (model::Window* window : loaded)
    window->on_unload = [&order, window](int&) { order.push_back(window->name()); };
  main.UserClose();
  EXPECT_EQ(order, (std::vector<std::string>{"Form8", "frmDownload", "frmHomePageChangedAlert",
                                             "frmMenuPopUp", "frmReport", "frmSignatureUpdated",
                                             "frmSpywareFoundAlert", "frmHidden", "frmDelete"}));
  EXPECT_FALSE(app.frmAbout.Loaded());
  EXPECT_FALSE(app.frmWebsite.Loaded());
  EXPECT_EQ(Setting("Settings", "Max"), "0");
  EXPECT_TRUE(h.runtime().Ended());
}

// With the browser window open the program lives on; the main window is gone for good and
// nothing of it ticks.
TEST_F(ShutdownTest, WithTheBrowserWindowOpenTheEndWaitsAndTheMainWindowIsInert) {
  model::App& app = h.app();
  int ticks = 0;
  for (forms::Timer* timer : {&main.tmrScheduler, &main.tmrCheckHomePage, &main.tmrMemoryInspected,
                              &main.tmrScroll, &main.tmrTimeOut})
    timer->on_timer = [&ticks] { ++ticks; };
  OpenBrowserWindow();
  EXPECT_TRUE(main.UserClose());
  EXPECT_FALSE(h.runtime().Ended());
  EXPECT_TRUE(app.windows.bExitPending);
  EXPECT_EQ(app.skin.objSkinHelper.finish_calls(), 0);
  EXPECT_EQ(Setting(model::kOptionsSection, "STATUS"), "STOPPED");
  EXPECT_FALSE(main.Loaded());
  main.Show();
  h.backend.AdvanceMs(60000);
  EXPECT_FALSE(main.Loaded());
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(app.frmWebsite.Peek().Visible());
}

TEST_F(ShutdownTest, ClosingDuringAScanAsksItToStop) {
  main.cmdScanNow.SetEnabled(false);
  main.cmdScan.SetEnabled(false);
  OpenBrowserWindow();
  main.UserClose();
  EXPECT_TRUE(h.app().scan.bStopScan);
}

class ClosingDuringRemovalTest : public ShutdownTest {
 protected:
  ClosingDuringRemovalTest() {
    removal::InstallRemovalHooks(h.app());
    removal::InstallRemovalSession(h.app());
    model::RowView<model::ThreatRow> threats(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    threats.Add({"Bad", "C:\\Bad", "", model::ThreatIconKind::kFile, true});
    for (const char* name : {"one.dat", "two.dat", "three.dat"}) {
      const std::string path = std::string("C:\\Bad\\") + name;
      h.temp.WriteFile(path, "x");
      model::RowView<model::FileTargetRow>(main.lvwFilesToBeDeleted).Add({path, "Bad", true});
      paths.push_back(path);
    }
    OpenBrowserWindow();
  }
  std::vector<bool> Present() {
    std::vector<bool> present;
    for (const std::string& path : paths)
      present.push_back(h.machine().files().Attributes(path).has_value());
    return present;
  }
  void CloseAtNextYield() {
    h.backend.AtYield(1, "close", [this] { main.UserClose(); });
  }
  std::vector<std::string> paths;
};

// The item in hand is finished; no other is started.
TEST_F(ClosingDuringRemovalTest, APassEndsAfterItsCurrentItem) {
  ASSERT_TRUE(h.machine().files().CreateFolder(removal::QuarantineFolderPath(h.app().system)));
  h.app().removal.bQuarantinePass = true;
  CloseAtNextYield();
  removal::RemoveCheckedItems(h.app());
  EXPECT_EQ(Present(), (std::vector<bool>{false, true, true}));
  EXPECT_FALSE(h.app().frmDelete.Loaded());
  EXPECT_FALSE(h.runtime().Ended());
}

TEST_F(ClosingDuringRemovalTest, TheSettleWaitEndsAndNothingIsRemoved) {
  CloseAtNextYield();
  removal::lblRemove_Click(h.app());
  EXPECT_LT(h.backend.YieldCount(), 100);
  EXPECT_EQ(Present(), (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(h.app().scan.bRemovalRunning);
  EXPECT_FALSE(h.app().frmDelete.Loaded());
}

}  // namespace
