// The application object and the main window's model.

#include "model/app.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/app_fixture.h"

namespace {

using hg_test::AppFixture;

TEST(App, BuildsEveryWindowWithoutLoadingAny) {
  AppFixture h;
  model::App& app = h.app();
  EXPECT_FALSE(app.frmMain.Loaded());
  EXPECT_TRUE(app.frmMain.IsMainWindow());
  EXPECT_EQ(app.runtime.MainForm(), &app.frmMain);
  EXPECT_EQ(app.runtime.Forms().size(), 13u);
  for (const forms::Form* form : app.runtime.Forms())
    EXPECT_FALSE(form->Loaded()) << form->name();

  // Touching an auxiliary window loads it, once.
  int loads = 0;
  app.frmDelete.Peek().on_load = [&loads] { ++loads; };
  app.frmDelete->lstProblem.Clear();
  app.frmDelete->Hide();
  EXPECT_TRUE(app.frmDelete.Loaded());
  EXPECT_EQ(loads, 1);
}

TEST(App, ServicesReachTheRuntimeAndTheUpperLayers) {
  AppFixture h;
  model::App& app = h.app();
  EXPECT_EQ(app.system.prompter, &app.runtime);
  EXPECT_EQ(app.system.windows, &app.runtime);
  ASSERT_TRUE(app.system.yield);
  // Registry deletions are logged only while a removal's first pass puts its writer in.
  EXPECT_EQ(app.system.quarantine_log, nullptr);
}

TEST(App, TwoApplicationsKeepTheirOwnState) {
  AppFixture first;
  AppFixture second;
  first.app().scan.bStopScan = true;
  first.main().lblStatus(0).SetCaption("Scanning complete.");
  EXPECT_FALSE(second.app().scan.bStopScan);
  EXPECT_EQ(second.main().lblStatus(0).Caption(), "0");
}

TEST(FrmMain, ControlNamesAreUniqueAndFindable) {
  AppFixture h;
  model::FrmMain& main = h.main();
  std::set<std::string> names;
  for (forms::Control* control : main.Controls()) {
    EXPECT_TRUE(names.insert(control->FullName()).second) << control->FullName();
    EXPECT_EQ(main.FindControl(control->name(), control->index()), control);
  }
  EXPECT_EQ(main.FindControl("frmView", 3), &main.frmView(3));
  EXPECT_EQ(main.FindControl("Frame"), &main.Frame);
}

TEST(FrmMain, OptionGroupsFollowTheirContainers) {
  AppFixture h;
  model::FrmMain& main = h.main();
  main.optScanAllSelectedHardDrive.SetValue(true);
  main.optMemorySheildOn.SetValue(true);
  main.optScanOnlyKnownSoftwares.SetValue(true);
  EXPECT_FALSE(main.optScanAllSelectedHardDrive.Value());
  EXPECT_TRUE(main.optMemorySheildOn.Value());

  // The six hidden shield buttons are one group.
  main.optIEHomePageSheildOff.SetValue(true);
  EXPECT_FALSE(main.optMemorySheildOn.Value());
  EXPECT_TRUE(main.optScanOnlyKnownSoftwares.Value());
}

TEST(FrmMain, DesignStateBeforeTheStartUp) {
  AppFixture h;
  model::FrmMain& main = h.main();
  // Idle: both scan buttons enabled, stop and pause disabled.
  EXPECT_TRUE(main.cmdScanNow.Enabled());
  EXPECT_TRUE(main.cmdScan.Enabled());
  EXPECT_FALSE(main.cmdStop.Enabled());
  EXPECT_FALSE(main.cmdPause.Enabled());
  // The status page is the page shown; exactly the first sub-page of the options.
  EXPECT_TRUE(main.frmStatus.Visible());
  for (forms::Frame* page : {&main.frmScan, &main.frmResults, &main.frmOptions})
    EXPECT_FALSE(page->Visible()) << page->name();
  EXPECT_EQ(main.TabStrip1.TabCount(), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(main.frmView(i).Visible(), i == 0);
  // The working frame is below the window's bottom edge.
  EXPECT_GT(main.Frame.Top(), main.Height());
  EXPECT_EQ(main.cmbDays.ListCount(), 10);
  EXPECT_EQ(main.cmbDays.List(8), "Date & Time");
  EXPECT_EQ(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.ColumnCount(), 3);
  EXPECT_TRUE(main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Checkboxes());
  EXPECT_EQ(main.lvwRegistryToBeDeleted.ColumnCount(), 4);
  EXPECT_FALSE(main.mnuDebug.Visible());
  EXPECT_FALSE(main.mnuFileItem(1).Visible());
  EXPECT_EQ(main.mnuFile.SubItems().size(), 9u);
}

}  // namespace
