#include "ui/main/scan_controls.h"

#include <string>

#include "model/app.h"
#include "model/scan_running.h"
#include "services/prompts.h"
#include "ui/main/scan_hooks.h"
#include "ui/main/scan_run.h"

namespace ui {

namespace {

void ShowPausedBox(model::App& app) {
  app.runtime.MsgBox(app.ProductName() + " has been paused.  Click OK to resume.",
                     services::vbInformation | services::vbOKOnly, app.ProductName());
}

void AskToStop(model::App& app, std::string_view question) {
  if (app.runtime.MsgBox(question, services::vbQuestion | services::vbYesNo, app.ProductName()) ==
      services::vbYes) {
    app.runtime.SetMousePointer(forms::MousePointer::kDefault);
    app.scan.bStopScan = true;
  }
}

}  // namespace

void lblStart_Click(model::App& app) {
  if (model::IsScanRunning(app) || IsScanBlocked(app))
    return;
  CallHandler(app.frmMain.cmdScan.on_click);
  cmdScanNow_Click(app);
}

void lblStart_UserClick(model::App& app) {
  if (!TellWhenBusy(app, kTheScan))
    lblStart_Click(app);
}

void cmdPause_Click(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdPause.SetEnabled(false);
  window.cmdStop.SetEnabled(false);
  ShowPausedBox(app);
  window.cmdPause.SetEnabled(true);
  window.cmdStop.SetEnabled(true);
}

void lblPause_Click(model::App& app) {
  app.frmMain.lblPause.SetEnabled(false);
  ShowPausedBox(app);
  app.frmMain.lblPause.SetEnabled(true);
}

void cmdStop_Click(model::App& app) {
  AskToStop(app, "Are you sure you want to stop the scan?");
}

void lblStop_Click(model::App& app) {
  AskToStop(app, "Are you sure?");
}

void PauseScan(model::App& app) {
  lblPause_Click(app);
}

void StopScan(model::App& app) {
  lblStop_Click(app);
}

void lblStart_MouseMove(model::App& app) {
  app.frmMain.lblStart.SetFontItalic(true);
}

void lblPause_MouseMove(model::App& app) {
  app.frmMain.lblPause.SetFontItalic(true);
  app.runtime.SetMousePointer(forms::MousePointer::kDefault);
}

void lblStop_MouseMove(model::App& app) {
  app.frmMain.lblStop.SetFontItalic(true);
  app.runtime.SetMousePointer(forms::MousePointer::kDefault);
}

void ResetScanLabelHover(model::App& app) {
  model::FrmMain& window = app.frmMain;
  for (forms::Label* label : {&window.lblStart, &window.lblPause, &window.lblStop})
    label->SetFontItalic(false);
  app.runtime.SetMousePointer(window.cmdScan.Enabled() ? forms::MousePointer::kDefault
                                                       : forms::MousePointer::kHourglass);
}

void InstallScanControls(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.cmdScanNow.on_click = [&app] { cmdScanNow_Click(app); };
  window.lblStart.on_click = [&app] { lblStart_UserClick(app); };
  window.cmdPause.on_click = [&app] { cmdPause_Click(app); };
  window.lblPause.on_click = [&app] { lblPause_Click(app); };
  window.cmdStop.on_click = [&app] { cmdStop_Click(app); };
  window.lblStop.on_click = [&app] { lblStop_Click(app); };
  window.lblStart.on_mouse_move = [&app](const forms::MouseEvent&) { lblStart_MouseMove(app); };
  window.lblPause.on_mouse_move = [&app](const forms::MouseEvent&) { lblPause_MouseMove(app); };
  window.lblStop.on_mouse_move = [&app](const forms::MouseEvent&) { lblStop_MouseMove(app); };
}

}  // namespace ui
