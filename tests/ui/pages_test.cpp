#include "ui/main/pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "services/prompts.h"
#include "support/app_fixture.h"
#include "ui/main/browser_events.h"
#include "ui/main/scan_controls.h"
#include "ui/windows/report_viewer.h"

namespace {

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::InstallPages(app());
    ui::InstallScanControls(app());
    ui::InstallBrowserEvents(app());
    ui::InstallReportViewer(app());
    window().Show();
  }

  model::App& app() { return fixture_.app(); }
  model::FrmMain& window() { return fixture_.app().frmMain; }
  forms::HeadlessBackend& backend() { return fixture_.backend; }

  // The names of the visible pages.
  std::vector<std::string> VisiblePages() {
    std::vector<std::string> shown;
    for (forms::Frame* page :
         {&window().frmStatus, &window().frmScan, &window().frmResults, &window().frmOptions}) {
      if (page->Visible())
        shown.push_back(page->name());
    }
    return shown;
  }
  std::vector<std::string> VisibleSubPages() {
    std::vector<std::string> shown;
    for (forms::Frame* view : window().frmView.Elements()) {
      if (view->Visible())
        shown.push_back(view->Caption());
    }
    return shown;
  }
  std::vector<forms::Control*> RemovalProgress() {
    return {&window().pgbDeleteSpywaresFound, &window().lblDeletingPercentageCompleted,
            &window().lblDeletingCaption};
  }

  hg_test::AppFixture fixture_;
};

TEST_F(PagesTest, EachPageButtonLeavesExactlyItsPageAndNoRemovalProgress) {
  struct Case {
    forms::CommandButton& button;
    const char* page;
  };
  model::FrmMain& w = window();
  const Case cases[] = {{w.cmdStatus, "frmStatus"},  {w.cmdScan, "frmScan"},
                        {w.Command1, "frmScan"},     {w.cmdResults, "frmResults"},
                        {w.cmdRemove, "frmResults"}, {w.cmdSettings, "frmOptions"},
                        {w.cmdStatus, "frmStatus"}};
  for (const Case& c : cases) {
    for (forms::Frame* page : {&w.frmStatus, &w.frmScan, &w.frmResults, &w.frmOptions})
      page->SetVisible(true);
    for (forms::Control* control : RemovalProgress())
      control->SetVisible(true);
    ASSERT_TRUE(c.button.on_click) << c.button.name();
    c.button.on_click();
    EXPECT_EQ(VisiblePages(), std::vector<std::string>{c.page}) << c.button.name();
    for (forms::Control* control : RemovalProgress())
      EXPECT_FALSE(control->Visible()) << c.button.name() << ": " << control->name();
  }
}

TEST_F(PagesTest, TheResultsPageReportsTheRunningProgramsOnlyWhenItOpensEmptyAndAllowed) {
  int sent = 0;
  app().hooks.SendRunningProcessList = [&sent] { ++sent; };
  struct Case {
    int rows;
    int send_data;
    int sends;
  };
  for (const Case c :
       {Case{0, forms::kChecked, 1}, Case{1, forms::kChecked, 0}, Case{0, forms::kUnchecked, 0}}) {
    sent = 0;
    window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Clear();
    for (int i = 0; i < c.rows; ++i)
      window().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.AddItem("Acme SearchBar");
    window().chkSendData.SetValue(c.send_data);
    window().cmdResults.UserClick();
    EXPECT_EQ(sent, c.sends) << c.rows << " rows, send data " << c.send_data;
  }
}

TEST_F(PagesTest, EachTabShowsOnlyItsSubPage) {
  window().cmdSettings.UserClick();
  const char* captions[] = {"Scan Options", "Proactive System Protection", "Scheduled Scans",
                            "Automatic Live Update"};
  for (int tab : {2, 0, 3, 1}) {
    ASSERT_TRUE(window().TabStrip1.UserSelectTab(tab));
    EXPECT_EQ(VisibleSubPages(), std::vector<std::string>{captions[tab]}) << tab;
  }
  // The Settings menu's way in: a page switch and a tab.
  window().cmdStatus.UserClick();
  ui::ShowOptionsPage(app(), 2);
  EXPECT_EQ(VisiblePages(), std::vector<std::string>{"frmOptions"});
  EXPECT_EQ(VisibleSubPages(), std::vector<std::string>{"Scheduled Scans"});
}

TEST_F(PagesTest, PauseHoldsInItsBoxWithItsControlsDisabled) {
  struct Case {
    const char* name;
    std::function<void()> pause;
    std::vector<forms::Control*> held;
  };
  model::FrmMain& w = window();
  const Case cases[] = {{"cmdPause", [&] { ui::cmdPause_Click(app()); }, {&w.cmdPause, &w.cmdStop}},
                        {"lblPause", [&] { ui::lblPause_Click(app()); }, {&w.lblPause}},
                        {"PauseScan", [&] { ui::PauseScan(app()); }, {&w.lblPause}}};
  for (const Case& c : cases) {
    // Timers tick under the box: one looks at the controls while it is open.
    std::vector<bool> enabled_under_box;
    w.tmrTime.on_timer = [&] {
      for (forms::Control* control : c.held)
        enabled_under_box.push_back(control->Enabled());
    };
    backend().ExpectMsgBox(services::vbOK, {}, 1500);
    c.pause();
    ASSERT_FALSE(backend().MessageBoxes().empty());
    const forms::ShownMessageBox& box = backend().MessageBoxes().back();
    EXPECT_EQ(box.prompt, "Hearthguard has been paused.  Click OK to resume.") << c.name;
    EXPECT_EQ(box.style, services::vbInformation | services::vbOKOnly) << c.name;
    EXPECT_EQ(box.title, "Hearthguard") << c.name;
    EXPECT_FALSE(enabled_under_box.empty()) << c.name;
    EXPECT_EQ(std::count(enabled_under_box.begin(), enabled_under_box.end(), true), 0) << c.name;
    for (forms::Control* control : c.held)
      EXPECT_TRUE(control->Enabled()) << c.name << ": " << control->name();
  }
}

TEST_F(PagesTest, StopAsksAndOnlyYesRequestsTheStop) {
  struct Case {
    std::function<void()> stop;
    const char* question;
    int answer;
  };
  const Case cases[] = {
      {[&] { ui::cmdStop_Click(app()); }, "Are you sure you want to stop the scan?",
       services::vbNo},
      {[&] { ui::lblStop_Click(app()); }, "Are you sure?", services::vbNo},
      {[&] { ui::StopScan(app()); }, "Are you sure?", services::vbYes},
      {[&] { ui::cmdStop_Click(app()); }, "Are you sure you want to stop the scan?",
       services::vbYes},
  };
  for (const Case& c : cases) {
    app().scan.bStopScan = false;
    app().runtime.SetMousePointer(forms::MousePointer::kHourglass);
    backend().ExpectMsgBox(c.answer);
    c.stop();
    const forms::ShownMessageBox& box = backend().MessageBoxes().back();
    EXPECT_EQ(box.prompt, c.question);
    EXPECT_EQ(box.style, services::vbQuestion | services::vbYesNo);
    EXPECT_EQ(box.title, "Hearthguard");
    const bool yes = c.answer == services::vbYes;
    EXPECT_EQ(app().scan.bStopScan, yes) << c.question;
    EXPECT_EQ(app().runtime.GetMousePointer(),
              yes ? forms::MousePointer::kDefault : forms::MousePointer::kHourglass);
  }
}

TEST_F(PagesTest, ShowReportIsEnabledAgainWhenTheViewerClosesOrCannotOpen) {
  window().cmdScan.UserClick();
  struct Case {
    const char* name;
    std::function<void()> open;
    bool viewer_fails;
  };
  const Case cases[] = {{"cmdLog", [&] { ui::cmdLog_Click(app()); }, false},
                        {"lblViewLogFile", [&] { window().lblViewLogFile.UserClick(); }, false},
                        {"cmdLog, viewer fails", [&] { ui::cmdLog_Click(app()); }, true}};
  for (const Case& c : cases) {
    bool enabled_in_viewer = true;
    app().frmReport.Peek().on_load = [&] {
      enabled_in_viewer = window().lblViewLogFile.Enabled();
      if (c.viewer_fails)
        throw std::runtime_error("the report cannot be read");
      ui::frmReport_Form_Load(app());
    };
    if (!c.viewer_fails)
      backend().AtYield(1, "OK", [&] { app().frmReport.Peek().cmdOk.UserClick(); });
    c.open();
    EXPECT_FALSE(enabled_in_viewer) << c.name;
    EXPECT_TRUE(window().lblViewLogFile.Enabled()) << c.name;
    app().frmReport.Unload();
  }
}

TEST_F(PagesTest, TheLinkLabelsStopTheScrollTickAndDisableOnlyThemselves) {
  model::FrmMain& w = window();
  w.tmrScroll.SetEnabled(true);
  ui::lblOptions_Click(app());
  EXPECT_FALSE(w.tmrScroll.Enabled());
  EXPECT_FALSE(w.lblOptions.Enabled());
  for (forms::Label* link : {&w.lblSweepNow, &w.lblRemove, &w.lblExit, &w.lblResult})
    EXPECT_TRUE(link->Enabled()) << link->name();

  for (forms::Control* control : RemovalProgress())
    control->SetVisible(true);
  w.tmrScroll.SetEnabled(true);
  ui::lblResult_Click(app());
  EXPECT_FALSE(w.tmrScroll.Enabled());
  EXPECT_FALSE(w.lblResult.Enabled());
  for (forms::Label* link : {&w.lblSweepNow, &w.lblRemove, &w.lblExit, &w.lblOptions})
    EXPECT_TRUE(link->Enabled()) << link->name();
  for (forms::Control* control : RemovalProgress())
    EXPECT_FALSE(control->Visible()) << control->name();
}

TEST_F(PagesTest, HoverSetsTheScanLabelsItalicUntilReset) {
  model::FrmMain& w = window();
  w.cmdScan.UserClick();
  for (forms::Label* label : {&w.lblStart, &w.lblPause, &w.lblStop}) {
    app().runtime.SetMousePointer(forms::MousePointer::kHourglass);
    ASSERT_TRUE(label->UserMouseMove({}));
    EXPECT_TRUE(label->GetFont().italic) << label->name();
    // Only Pause and Stop give back the arrow.
    EXPECT_EQ(app().runtime.GetMousePointer() == forms::MousePointer::kDefault,
              label != &w.lblStart)
        << label->name();
  }
  w.cmdScan.SetEnabled(false);
  ui::ResetScanLabelHover(app());
  for (forms::Label* label : {&w.lblStart, &w.lblPause, &w.lblStop})
    EXPECT_FALSE(label->GetFont().italic) << label->name();
  EXPECT_EQ(app().runtime.GetMousePointer(), forms::MousePointer::kHourglass);
}

TEST_F(PagesTest, TheHiddenBrowserRefusesNewWindowsAndShowsItsStatusText) {
  forms::Browser& browser = window().wbrMain;
  EXPECT_TRUE(browser.ViewNewWindowRequested());
  browser.ViewStatusTextChanged("http://www.example.com/");
  EXPECT_EQ(window().lblWebText.Caption(), "http://www.example.com/");
  browser.ViewStatusTextChanged("");
  EXPECT_EQ(window().lblWebText.Caption(), "");
}

}  // namespace
