#include "ui/main/scan_run.h"

#include <string>

#include "engine/definitions/status_labels.h"
#include "engine/scan/scan_driver.h"
#include "machine/date_time.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "services/window_helpers.h"
#include "ui/main/scan_hooks.h"

namespace ui {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

void SetRedrawLock(model::App& app, bool lock) {
  services::LockWindow(app.system, app.frmMain.hWnd(), lock);
}

std::string NowText(model::App& app) {
  return machine::FormatGeneralDate(app.machine.clock().Now());
}

// Steps before the driver: the window shows a running scan and everything of the last scan is
// cleared.
void PrepareWindow(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.tmrScroll.SetEnabled(false);
  app.frmDelete->Hide();
  app.frmDelete->lstProblem.Clear();
  window.shpCircle.SetVisible(false);
  window.cmdRemove.SetVisible(false);
  window.cmdResults.SetEnabled(false);
  window.cmdSettings.SetEnabled(false);

  model::ShowPanels(app, false, false, false, true);
  model::ApplyTimerSettings(app, false);

  window.cmdScanNow.SetEnabled(false);
  window.cmdScan.SetEnabled(false);
  window.cmdStop.SetEnabled(true);
  window.cmdPause.SetEnabled(true);
  window.cmdLog.SetEnabled(false);
  window.cmdUpdate.SetEnabled(false);
  window.cmdStatus.SetEnabled(false);

  SetRedrawLock(app, true);
  for (forms::Label* label :
       {&window.lblRegistryInspected, &window.lblFilesFolderInspected, &window.lblMemoryInspected,
        &window.lblSoftwareFound, &window.lblRemovePicSoftwareFound, &window.lbltracesFound,
        &window.lblPercentageCompleted, &window.lblStatus(0), &window.lblTotalNoOfRunningItems}) {
    label->SetCaption("0");
  }
  model::ScanState& scan = app.scan;
  scan.lngMemoryItemsInspected = 0;
  scan.lngRegistryItemsInspected = 0;
  scan.lngFilesFoldersInspected = 0;
  scan.lngThreatsFound = 0;
  scan.lngProgressCalls = 0;
  for (forms::ListView* list :
       {&window.lvwSpywareFound, &window.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
        &window.lvwFilesToBeDeleted, &window.lvwFileNotFounds, &window.lvwRegistryToBeDeleted,
        &window.lvwCookiesToDelete}) {
    list->Clear();
  }
  SetRedrawLock(app, false);
}

void SaveScanDates(model::App& app) {
  const std::string& finished = app.frmMain.strScanFinished;
  model::WriteUserSetting(app, kSettingsSection, "lblLastScan", finished);
  if (app.frmMain.optScanAllSelectedHardDrive.Value()) {
    model::WriteUserSetting(app, kSettingsSection, "lblLastFullScan", finished);
  }
}

void ShowCancelled(model::App& app) {
  model::FrmMain& window = app.frmMain;
  SetRedrawLock(app, true);
  window.lblStatus(0).SetCaption("Scanning was cancelled.");
  window.lblPercentageCompleted.SetCaption("0% complete.");
  window.pbgMain.SetValue(0);
  SetRedrawLock(app, false);
}

void ShowCompleted(model::App& app) {
  model::FrmMain& window = app.frmMain;
  SetRedrawLock(app, true);
  window.lblStatus(0).SetCaption("Scanning complete.");
  window.pb1.SetValue(100);
  window.pb2.SetValue(100);
  SetRedrawLock(app, false);
}

void RemoveFindingsUnasked(model::App& app) {
  model::FrmMain& window = app.frmMain;
  CallHandler(window.cmdRemove.on_click);
  CallHandler(window.cmdSelectAll.on_click);
  CallHandler(window.Command4.on_click);
}

void ShowIdle(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdScan.SetEnabled(true);
  window.cmdScanNow.SetEnabled(true);
  window.cmdStop.SetEnabled(false);
  window.cmdLog.SetEnabled(true);
  window.cmdPause.SetEnabled(false);
  window.cmdUpdate.SetEnabled(true);
  window.cmdStatus.SetEnabled(true);
}

}  // namespace

bool IsScanBlocked(const model::App& app) {
  return app.scan.bRemovalRunning || app.scan.bLiveUpdateRunning || app.shields.bShieldTickRunning;
}

std::string BusyMessage(const model::App& app, std::string_view what) {
  const std::string again = "Start " + std::string(what) + " again when ";
  if (model::IsScanRunning(app))
    return "A scan is in progress. " + again + "it has finished.";
  if (app.scan.bRemovalRunning)
    return "A removal is in progress. " + again + "it has finished.";
  if (app.scan.bLiveUpdateRunning)
    return "Live Update is in progress. " + again + "it has finished.";
  if (app.shields.bShieldTickRunning)
    return "The protection is waiting for your answer. " + again + "you have answered.";
  return {};
}

bool TellWhenBusy(model::App& app, std::string_view what) {
  const std::string message = BusyMessage(app, what);
  if (message.empty())
    return false;
  app.runtime.MsgBox(message, services::vbInformation, app.branding.strProductName);
  return true;
}

void cmdScanNow_Click(model::App& app) {
  if (model::IsScanRunning(app) || TellWhenBusy(app, kTheScan))
    return;
  model::FrmMain& window = app.frmMain;
  PrepareWindow(app);

  app.scan.bStopScan = false;
  window.strScanStarted = NowText(app);
  const bool definitions_present = engine::RunScan(app);
  window.strScanFinished = NowText(app);
  // A scan that could not run is no scan: it leaves the last-scan dates alone and ends as a
  // cancelled one, without the automatic removal.
  const bool cancelled = !definitions_present || app.scan.bStopScan;
  if (definitions_present)
    SaveScanDates(app);
  if (window.chkMakeLog.Value() == forms::kChecked)
    CallHandler(app.hooks.MakeReport);

  window.cmdRemove.SetVisible(true);
  window.cmdRemove.SetEnabled(true);
  window.cmdResults.SetEnabled(true);
  window.cmdSettings.SetEnabled(true);
  window.shpCircle.SetVisible(false);

  if (cancelled) {
    ShowCancelled(app);
  } else {
    ShowCompleted(app);
    if (app.scan.bAutoDeleteAfterScan)
      RemoveFindingsUnasked(app);
  }

  ShowIdle(app);
  model::ApplyTimerSettings(app, true);
  window.tmrTimeOut.SetEnabled(true);
  engine::RefreshStatusLabels(app);
}

}  // namespace ui
