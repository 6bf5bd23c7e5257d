#include "ui/main/live_update_run.h"

#include "engine/definitions/definition_downloads.h"
#include "engine/definitions/definition_set.h"
#include "engine/definitions/live_update.h"
#include "engine/definitions/status_labels.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/sliding_windows.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "ui/main/live_update_tray.h"
#include "ui/main/scan_run.h"

namespace ui {

namespace {

// One Live Update at a time: while one runs it is marked, so that scans and other updates stay
// out, and the timer group is off.
class UpdateRun {
 public:
  explicit UpdateRun(model::App& app) : app_(app), started_(!IsUpdateBlocked(app)) {
    if (!started_)
      return;
    app_.scan.bLiveUpdateRunning = true;
    model::ApplyTimerSettings(app_, false);
  }
  ~UpdateRun() {
    if (started_)
      app_.scan.bLiveUpdateRunning = false;
  }
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  bool started() const { return started_; }
  void Finish() { model::ApplyTimerSettings(app_, true); }

 private:
  model::App& app_;
  const bool started_;
};

void SaveRunState(model::App& app, std::string_view key, std::string_view value) {
  model::WriteUserSetting(app, model::kOptionsSection, key, value);
}

// The definition files changed: the counts and the status page follow them.
void RecountDefinitions(model::App& app) {
  app.definitions.lngTotalDefinitions = engine::CountDefinitions(app);
  engine::RefreshStatusLabels(app);
}

}  // namespace

std::string SaveFailedText(std::string_view reason) {
  return "Definitions could not be saved in the program folder: " + std::string(reason) + ".";
}

std::string UpToDateText(const model::App& app) {
  return "You are using the most recent " + app.ProductName() + " definitions.";
}

std::string UpdatedText(const model::App& app) {
  return "Your " + app.ProductName() + " definitions have been updated!";
}

bool IsUpdateBlocked(const model::App& app) {
  return model::IsScanRunning(app) || IsScanBlocked(app);
}

void cmdUpdate_Click(model::App& app) {
  if (TellWhenBusy(app, kLiveUpdate))
    return;
  UpdateRun run(app);
  if (!run.started())
    return;
  model::FrmMain& window = app.frmMain;
  window.cmdLiveUpdate.SetEnabled(false);
  const engine::LiveUpdateOutcome outcome = engine::CheckForDefinitionUpdates(app);
  RemoveDownloadTrayIcon(app);
  if (window.EverUnloaded()) {
    // Closed meanwhile: no notification rises after the program's window has gone.
    app.frmDownload.Unload();
    return;
  }
  if (!outcome.save_error.empty()) {
    model::ShowUpdateNotification(app, SaveFailedText(outcome.save_error));
  } else if (outcome.failed) {
    model::ShowUpdateNotification(app, std::string(kUpdateFailedText));
  } else if (outcome.count < 1) {
    model::ShowUpdateNotification(app, UpToDateText(app));
  } else {
    SaveRunState(app, "SHOW", "True");
    SaveRunState(app, "RESTART", "True");
    model::ShowUpdateNotification(app, UpdatedText(app));
  }
  if (outcome.count > 0) {
    RecountDefinitions(app);
    window.cmdScan.SetEnabled(true);
  }
  app.frmDownload.Unload();
  window.cmdLiveUpdate.SetEnabled(true);
  run.Finish();
}

void cmdLiveUpdate_Click(model::App& app) {
  cmdUpdate_Click(app);
}

void cmdUpdate_MouseDown(model::App& app, const forms::MouseEvent& event) {
  if (event.shift != forms::kShiftMask)
    return;
  app.definitions.strUpdateBaseUrl = engine::SupportBaseUrl(app, app.branding.strWebsite);
  app.runtime.MsgBox(engine::SupportListText(app.definitions.strUpdateBaseUrl), services::vbOKOnly);
}

void timUpdate_Timer(model::App& app) {
  model::FrmMain& window = app.frmMain;
  // Busy ticks do not count, so the one automatic update is never refused and lost.
  if (IsUpdateBlocked(app))
    return;
  if (window.lngUpdateIdleTicks < kAutomaticUpdateIdleTicks) {
    ++window.lngUpdateIdleTicks;
    return;
  }
  window.timUpdate.SetEnabled(false);
  window.lngUpdateIdleTicks = 0;
  cmdUpdate_Click(app);
}

void ShowDownloadWindow(model::App& app) {
  app.frmDownload->Show();
}

void ShowDownloadWhileUpdating(model::App& app) {
  if (!app.frmMain.cmdLiveUpdate.Enabled())
    ShowDownloadWindow(app);
}

void RunBackgroundUpdate(model::App& app) {
  UpdateRun run(app);
  if (!run.started())
    return;
  ShowDownloadTrayIcon(app);
  app.frmDownload->Show();
  app.frmDownload->Hide();
  const engine::LiveUpdateOutcome outcome = engine::CheckForDefinitionUpdates(app);
  if (app.frmMain.EverUnloaded()) {
    app.frmDownload.Unload();
    RemoveDownloadTrayIcon(app);
    return;
  }
  if (outcome.count > 0) {
    if (!outcome.failed)
      model::ShowUpdateNotification(app, UpdatedText(app));
    RecountDefinitions(app);
  }
  app.frmDownload.Unload();
  RemoveDownloadTrayIcon(app);
  RenewMainTrayIcon(app);
  run.Finish();
}

void InstallLiveUpdate(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdUpdate.on_click = [&app] { cmdUpdate_Click(app); };
  window.cmdLiveUpdate.on_click = [&app] { cmdLiveUpdate_Click(app); };
  window.cmdUpdate.on_mouse_down = [&app](const forms::MouseEvent& event) {
    cmdUpdate_MouseDown(app, event);
  };
  window.timUpdate.on_timer = [&app] { timUpdate_Timer(app); };
}

}  // namespace ui
