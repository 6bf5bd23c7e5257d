#include "ui/windows/tray_menu.h"

#include <string>

#include "model/app.h"
#include "model/taskbar_button.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/prompts.h"
#include "ui/windows/skin.h"
#include "ui/windows/slide_placement.h"

namespace ui {

namespace {

constexpr double kSlideUpStep = 80;
constexpr double kSlideDownStep = 100;
// Idle seconds after which the menu sinks: it sinks on the tick after the fifth.
constexpr int32_t kIdleSeconds = 5;
// The slide down ends this far above the screen's bottom.
constexpr double kSlideDownEndAboveBottom = 2000;
// The screen's own count of twips a pixel, which the slide down's end is measured in.
constexpr double kScreenTwipsPerPixel = 15;

// The menu as it is: its own handlers never load it again once it has gone.
model::FrmMenuPopUp& Menu(model::App& app) {
  return app.frmMenuPopUp.Peek();
}

}  // namespace

void frmMenuPopUp_Form_Load(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  menu.lblName.SetCaption(app.SettingsApplication());
  menu.lngIdleCount = 0;
  menu.tmrPopDown.SetEnabled(false);
  menu.TmrEnablePopDown.SetEnabled(false);
  menu.mnuMaxmimaize.SetEnabled(!app.frmMain.Visible());
  menu.mnuClose.SetEnabled(true);
  menu.SetCaption(app.ProductName());
  menu.placement = PlaceAtTaskbar(menu, app.windows.Desktop());
  menu.SetVisible(true);
  menu.tmrMenuPopup.SetEnabled(true);
  if (app.branding.bUseSkin)
    ApplySkin(app, menu);
}

void frmMenuPopUp_tmrMenuPopup_Timer(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  menu.SetVisible(true);
  if (menu.Top() <= menu.placement.lngTargetTop) {
    menu.tmrMenuPopup.SetEnabled(false);
    menu.TmrEnablePopDown.SetEnabled(true);
  } else {
    menu.SetTop(menu.Top() - kSlideUpStep);
  }
}

void frmMenuPopUp_TmrEnablePopDown_Timer(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  ++menu.lngIdleCount;
  if (menu.lngIdleCount > kIdleSeconds) {
    menu.lngIdleCount = 0;
    menu.TmrEnablePopDown.SetEnabled(false);
    menu.tmrPopDown.SetEnabled(true);
  }
}

void frmMenuPopUp_tmrPopDown_Timer(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  menu.SetVisible(true);
  menu.SetTop(menu.Top() + kSlideDownStep);
  const double screen_height = app.windows.Desktop().screen_height * kScreenTwipsPerPixel;
  if (menu.Top() > screen_height - kSlideDownEndAboveBottom) {
    menu.tmrPopDown.SetEnabled(false);
    app.frmMenuPopUp.Unload();
  }
}

void frmMenuPopUp_Form_MouseMove(model::App& app) {
  Menu(app).lngIdleCount = 0;
}

void frmMenuPopUp_lblMenuClose_Click(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  menu.TmrEnablePopDown.SetEnabled(false);
  menu.tmrMenuPopup.SetEnabled(false);
  menu.tmrPopDown.SetEnabled(true);
}

void frmMenuPopUp_lblMenuClose_MouseMove(model::App& app) {
  Menu(app).lblMenuClose.SetFontBold(true);
}

void frmMenuPopUp_mnuMaxmimaize_Click(model::App& app) {
  RestoreMainWindowFromMenu(app);
}

void frmMenuPopUp_mnuClose_Click(model::App& app) {
  model::SaveStoppedRunState(app);
  app.objTray.RemoveIcon(app.frmMain);
  app.frmMain.Unload();
  // Still running: the end waits for the browser window to close.
  frmMenuPopUp_lblMenuClose_Click(app);
}

void RestoreMainWindowFromMenu(model::App& app) {
  ShowMainWindow(app);
  frmMenuPopUp_lblMenuClose_Click(app);
}

void ConfirmExitFromMenu(model::App& app) {
  ShowMainWindow(app);
  const std::string& product = app.ProductName();
  const int answer = app.runtime.MsgBox(
      "Closing " + product +
          " may leave your system vulnerable to malicious programs. Are you sure you want to "
          "exit?",
      services::vbYesNo | services::vbQuestion, product);
  if (answer == services::vbYes) {
    model::SaveStoppedRunState(app);
    app.objTray.RemoveIcon(app.frmMain);
    app.runtime.EndProgram();
  }
  HideMainWindowToTray(app);
  model::ApplyTimerSettings(app, true);
  frmMenuPopUp_lblMenuClose_Click(app);
}

void OpenOptionsFromMenu(model::App& app) {
  ShowMainWindow(app);
  model::ShowPanels(app, false, true, false, false);
  frmMenuPopUp_lblMenuClose_Click(app);
}

void OpenSettingsFromMenu(model::App& app) {
  OpenOptionsFromMenu(app);
}

void ScanNowFromMenu(model::App& app) {
  RestoreMainWindowFromMenu(app);
  app.scan.bStopScan = false;
  // The scan page's "Start" label: starts a scan unless one is running.
  if (const auto& start = app.frmMain.lblStart.on_click)
    start();
}

void ShowMainWindow(model::App& app) {
  // Shown first, so that the change of state finds it visible and records it as no longer
  // minimised.
  app.frmMain.Show();
  app.frmMain.SetWindowState(forms::WindowState::kNormal);
}

bool HideMainWindowToTray(model::App& app) {
  model::FrmMain& main = app.frmMain;
  const bool tray_area = app.objTray.HasTrayArea();
  // Hidden before it is minimised: a window minimised on screen tells the desktop so, and the
  // desktop's late word of it would minimise the window again when it comes back.
  if (tray_area)
    main.Hide();
  main.SetWindowState(forms::WindowState::kMinimized);
  model::UpdateTaskbarButton(app);
  return tray_area;
}

void InstallTrayMenu(model::App& app) {
  model::FrmMenuPopUp& menu = Menu(app);
  menu.on_load = [&app] { frmMenuPopUp_Form_Load(app); };
  menu.on_mouse_move = [&app](const forms::MouseEvent&) { frmMenuPopUp_Form_MouseMove(app); };
  menu.tmrMenuPopup.on_timer = [&app] { frmMenuPopUp_tmrMenuPopup_Timer(app); };
  menu.TmrEnablePopDown.on_timer = [&app] { frmMenuPopUp_TmrEnablePopDown_Timer(app); };
  menu.tmrPopDown.on_timer = [&app] { frmMenuPopUp_tmrPopDown_Timer(app); };
  menu.lblMenuClose.on_click = [&app] { frmMenuPopUp_lblMenuClose_Click(app); };
  menu.lblMenuClose.on_mouse_move = [&app](const forms::MouseEvent&) {
    frmMenuPopUp_lblMenuClose_MouseMove(app);
  };
  menu.mnuMaxmimaize.on_click = [&app] { frmMenuPopUp_mnuMaxmimaize_Click(app); };
  menu.mnuClose.on_click = [&app] { frmMenuPopUp_mnuClose_Click(app); };
}

}  // namespace ui
