#include "ui/main/pages.h"

#include <exception>

#include "model/app.h"
#include "model/timer_group.h"
#include "ui/main/scan_hooks.h"

namespace ui {

namespace {

void ShowOnly(model::App& app, forms::Frame& page) {
  HideAllPages(app);
  page.SetVisible(true);
}

void HideRemovalProgress(model::FrmMain& window) {
  window.pgbDeleteSpywaresFound.SetVisible(false);
  window.lblDeletingPercentageCompleted.SetVisible(false);
  window.lblDeletingCaption.SetVisible(false);
}

// The link labels: the one just used is disabled, every other enabled.
void EnableLinksBut(model::FrmMain& window, forms::Label& current) {
  for (forms::Label* link : {&window.lblSweepNow, &window.lblRemove, &window.lblExit,
                             &window.lblOptions, &window.lblResult}) {
    link->SetEnabled(link != &current);
  }
}

void ShowReportViewer(model::App& app) {
  forms::Label& link = app.frmMain.lblViewLogFile;
  link.SetEnabled(false);
  try {
    app.frmReport->Show(true);
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // A viewer that cannot open says nothing. It is taken down, so that the next opening reads
    // the report afresh, and the link must work again.
    app.frmReport.Unload();
  }
  link.SetEnabled(true);
}

}  // namespace

void HideAllPages(model::App& app) {
  model::FrmMain& window = app.frmMain;
  for (forms::Frame* page :
       {&window.frmOptions, &window.frmScan, &window.frmResults, &window.frmStatus}) {
    page->SetVisible(false);
  }
  HideRemovalProgress(window);
}

void ShowOptionsPage(model::App& app, int tab_index) {
  cmdSettings_Click(app);
  app.frmMain.TabStrip1.SetSelectedIndex(tab_index);
}

void cmdStatus_Click(model::App& app) {
  ShowOnly(app, app.frmMain.frmStatus);
}

void cmdScan_Click(model::App& app) {
  ShowOnly(app, app.frmMain.frmScan);
}

void cmdSettings_Click(model::App& app) {
  ShowOnly(app, app.frmMain.frmOptions);
}

void cmdResults_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  ShowOnly(app, window.frmResults);
  if (window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Count() == 0 &&
      window.chkSendData.Value() == forms::kChecked) {
    CallHandler(app.hooks.SendRunningProcessList);
  }
}

void cmdLog_Click(model::App& app) {
  ShowReportViewer(app);
}

void lblViewLogFile_Click(model::App& app) {
  ShowReportViewer(app);
}

void TabStrip1_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  const int selected = window.TabStrip1.SelectedIndex();
  for (forms::Frame* view : window.frmView.Elements())
    view->SetVisible(view->index() == selected);
}

void lblOptions_Click(model::App& app) {
  model::ShowPanels(app, false, true, false, false);
  EnableLinksBut(app.frmMain, app.frmMain.lblOptions);
}

void lblResult_Click(model::App& app) {
  model::ShowPanels(app, false, false, true, false);
  HideRemovalProgress(app.frmMain);
  EnableLinksBut(app.frmMain, app.frmMain.lblResult);
}

void InstallPages(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdStatus.on_click = [&app] { cmdStatus_Click(app); };
  window.cmdScan.on_click = [&app] { cmdScan_Click(app); };
  window.Command1.on_click = [&app] { cmdScan_Click(app); };
  window.cmdResults.on_click = [&app] { cmdResults_Click(app); };
  window.cmdRemove.on_click = [&app] { cmdResults_Click(app); };
  window.cmdSettings.on_click = [&app] { cmdSettings_Click(app); };
  window.cmdLog.on_click = [&app] { cmdLog_Click(app); };
  window.lblViewLogFile.on_click = [&app] { lblViewLogFile_Click(app); };
  window.TabStrip1.on_click = [&app] { TabStrip1_Click(app); };
  window.lblOptions.on_click = [&app] { lblOptions_Click(app); };
  window.lblResult.on_click = [&app] { lblResult_Click(app); };
}

}  // namespace ui
