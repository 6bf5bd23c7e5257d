#include "ui/main/send_to_tray.h"

#include <string_view>

#include "model/app.h"
#include "model/taskbar_button.h"
#include "model/tray.h"
#include "model/user_settings.h"
#include "ui/windows/tray_menu.h"

namespace ui {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

}  // namespace

void Command5_Click(model::App& app) {
  model::FrmMain& main = app.frmMain;
  if (HideMainWindowToTray(app)) {
    app.frmMenuPopUp->mnuMaxmimaize.SetEnabled(true);
    app.objTray.ShowIcon(main);
    app.objTray.ChangeToolTip(main, app.ProductName());
    model::UpdateTaskbarButton(app);
  }
  model::WriteUserSetting(app, kSettingsSection, model::kMinimizedKey, "Yes");
}

void FrmMain_Form_MouseMove(model::App& app, const forms::MouseEvent& /*event*/) {
  app.frmMain.lblHide.SetFontItalic(false);
}

void FrmMain_TrayMessage(model::App& app, int message) {
  model::FrmMain& main = app.frmMain;
  main.lblHide.SetFontItalic(false);
  if (!app.objTray.bRunningInTray(main))
    return;
  switch (message) {
    case model::kTrayLeftButtonDoubleClick:
      ShowMainWindow(app);
      app.frmMenuPopUp->Hide();
      break;
    case model::kTrayLeftButtonDown:
    case model::kTrayRightButtonUp:
      app.frmMenuPopUp->Show();
      break;
    default:
      break;
  }
}

void InstallSendToTray(model::App& app) {
  model::FrmMain& main = app.frmMain;
  main.Command5.on_click = [&app] { Command5_Click(app); };
  main.on_mouse_move = [&app](const forms::MouseEvent& event) {
    FrmMain_Form_MouseMove(app, event);
  };
  main.on_tray_message = [&app](int message) { FrmMain_TrayMessage(app, message); };
}

}  // namespace ui
