#include "ui/main/pages.h"

#include <gtest/gtest.h>

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

  // The visible frames, by name (by caption for the sub-pages).
  static std::vector<std::string> Shown(const std::vector<forms::Frame*>& frames,
                                        bool by_caption = false) {
    std::vector<std::string> shown;
    for (forms::Frame* frame : frames) {
      if (frame->Visible())
        shown.push_back(by_caption ? frame->Caption() : frame->name());
    }
    return shown;
  }
  std::vector<std::string> ShownPages() {
    model::FrmMain& w = window();
    return Shown({&w.frmStatus, &w.frmScan, &w.frmResults, &w.frmOptions});
  }
  std::vector<std::string> ShownTabs() { return Shown(window().frmView.Elements(), true); }

  hg_test::AppFixture fixture_;
  forms::HeadlessBackend& backend_ = fixture_.backend;
};

TEST_F(PagesTest, EachPageButtonLeavesExactlyItsPageAndNoRemovalProgress) {
  model::FrmMain& w = window();
  const std::pair<forms::CommandButton*, const char*> cases[] = {
      {&w.cmdScan, "frmScan"},      {&w.Command1, "frmScan"},       {&w.cmdResults, "frmResults"},
      {&w.cmdRemove, "frmResults"}, {&w.cmdSettings, "frmOptions"}, {&w.cmdStatus, "frmStatus"}};
  for (const auto& [button, page] : cases) {
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &w.frmStatus, &w.frmScan, &w.frmResults, &w.frmOptions, &w.pgbDeleteSpywaresFound,
             &w.lblDeletingPercentageCompleted, &w.lblDeletingCaption}) {
      control->SetVisible(true);
    }
    button->on_click();
    EXPECT_EQ(ShownPages(), std::vector<std::string>{page}) << button->name();
    EXPECT_FALSE(w.pgbDeleteSpywaresFound.Visible() || w.lblDeletingPercentageCompleted.Visible() ||
                 w.lblDeletingCaption.Visible())
        << button->name();
  }
}

TEST_F(PagesTest, EachTabShowsOnlyItsSubPage) {
  window().cmdSettings.UserClick();
  const char* captions[] = {"Scan Options", "Proactive System Protection", "Scheduled Scans",
                            "Automatic Live Update"};
  for (int tab : {2, 0, 3, 1}) {
    ASSERT_TRUE(window().TabStrip1.UserSelectTab(tab));
    EXPECT_EQ(ShownTabs(), std::vector<std::string>{captions[tab]});
  }
  // The Settings menu's way in.
  window().cmdStatus.UserClick();
  ui::ShowOptionsPage(app(), 2);
  EXPECT_FALSE(window().frmStatus.Visible());
  EXPECT_EQ(ShownTabs(), std::vector<std::string>{"Scheduled Scans"});
}

TEST_F(PagesTest, PauseHoldsInItsBoxWithItsControlsDisabled) {
  model::FrmMain& w = window();
  const std::pair<std::function<void()>, std::vector<forms::Control*>> cases[] = {
      {[&] { ui::cmdPause_Click(app()); }, {&w.cmdPause, &w.cmdStop}},
      {[&] { ui::lblPause_Click(app()); }, {&w.lblPause}}};
  for (const auto& [pause, held] : cases) {
    // Timers tick under the box: one looks at the controls while it is open.
    int enabled_under_box = 0;
    w.tmrTime.on_timer = [&, &held = held] {
      for (forms::Control* control : held)
        enabled_under_box += control->Enabled() ? 1 : 0;
    };
    backend_.ExpectMsgBox(services::vbOK, "Hearthguard has been paused.  Click OK to resume.",
                          1500);
    pause();
    EXPECT_EQ(backend_.MessageBoxes().back().style, services::vbInformation);
    EXPECT_EQ(enabled_under_box, 0);
    for (forms::Control* control : held)
      EXPECT_TRUE(control->Enabled()) << control->name();
  }
}

TEST_F(PagesTest, StopAsksAndOnlyYesRequestsTheStop) {
  const std::tuple<std::function<void()>, const char*, int> cases[] = {
      {[&] { ui::cmdStop_Click(app()); }, "Are you sure you want to stop the scan?",
       services::vbNo},
      {[&] { ui::lblStop_Click(app()); }, "Are you sure?", services::vbNo},
      {[&] { ui::cmdStop_Click(app()); }, "Are you sure you want to stop the scan?",
       services::vbYes}};
  for (const auto& [stop, question, answer] : cases) {
    app().runtime.SetMousePointer(forms::MousePointer::kHourglass);
    backend_.ExpectMsgBox(answer);
    stop();
    EXPECT_EQ(backend_.MessageBoxes().back().prompt, question);
    EXPECT_EQ(backend_.MessageBoxes().back().style, services::vbQuestion | services::vbYesNo);
    EXPECT_EQ(app().scan.bStopScan, answer == services::vbYes);
    EXPECT_EQ(app().runtime.GetMousePointer() == forms::MousePointer::kDefault,
              answer == services::vbYes);
  }
}

TEST_F(PagesTest, ShowReportIsEnabledAgainWhenTheViewerClosesOrCannotOpen) {
  window().cmdScan.UserClick();
  const std::pair<std::function<void()>, bool> cases[] = {
      {[&] { window().lblViewLogFile.UserClick(); }, false},
      {[&] { ui::cmdLog_Click(app()); }, true}};
  for (const auto& [open, viewer_fails] : cases) {
    bool enabled_in_viewer = true;
    app().frmReport.Peek().on_load = [&, fails = viewer_fails] {
      enabled_in_viewer = window().lblViewLogFile.Enabled();
      if (fails)
        throw std::runtime_error("the report cannot be read");
    };
    if (!viewer_fails)
      backend_.AtYield(1, "OK", [&] { app().frmReport.Peek().cmdOk.UserClick(); });
    open();
    EXPECT_FALSE(enabled_in_viewer);
    EXPECT_TRUE(window().lblViewLogFile.Enabled()) << viewer_fails;
    EXPECT_FALSE(app().frmReport.Loaded());
  }
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
