#include "ui/windows/download_window.h"

#include "model/app.h"
#include "model/tray.h"
#include "ui/windows/skin.h"

namespace ui {

namespace {

// The screen counts 15 twips a pixel.
constexpr double kTwipsPerPixel = 15.0;
constexpr int32_t kBlinkSteps = 15;

// The caption a blink step sets over the arrow text; nullptr keeps the arrow text.
const char* BlinkStepText(int32_t step) {
  constexpr const char* kBusy = "Sending and receiving data, please wait.";
  switch (step) {
    case 0:
      return "Connecting to the Server.";
    case 6:
      return "Successfully sent the request.";
    case 8:
      return "Receiving a response from the Server.";
    case 1:
    case 7:
    case 9:
      return nullptr;
    default:
      return kBusy;
  }
}

}  // namespace

void frmDownload_Form_Load(model::App& app) {
  model::FrmDownload& window = app.frmDownload.Peek();
  const model::DesktopMetrics desktop = app.windows.Desktop();
  window.Move((desktop.screen_width * kTwipsPerPixel - window.Width()) / 2,
              (desktop.screen_height * kTwipsPerPixel - window.Height()) / 2, window.Width(),
              window.Height());
  window.tmrBlink.SetEnabled(true);
  window.picDown.SetVisible(false);
  window.picUp.SetVisible(true);
  window.lblProduct.SetCaption("Connecting to server/downloading.....");
  if (app.objTray.bRunningInTray(window))
    app.objTray.RemoveIcon(window);
  app.objTray.ShowIcon(window);
  app.objTray.ChangeToolTip(window, kDownloadTrayTip);
  if (app.branding.bUseSkin)
    ApplySkin(app, window);
}

void frmDownload_tmrBlink_Timer(model::App& app) {
  model::FrmDownload& window = app.frmDownload.Peek();
  if (window.picDown.Visible()) {
    window.picDown.SetVisible(false);
    window.picUp.SetVisible(true);
    window.lblProduct.SetCaption("Connecting to server.....");
  } else {
    window.lblProduct.SetCaption("Checking for Definitions.....");
    window.picDown.SetVisible(true);
    window.picUp.SetVisible(false);
  }
  if (window.lngBlinkStep >= kBlinkSteps || window.lngBlinkStep < 0)
    window.lngBlinkStep = 0;
  if (const char* text = BlinkStepText(window.lngBlinkStep))
    window.lblProduct.SetCaption(text);
  ++window.lngBlinkStep;
}

void frmDownload_Command1_Click(model::App& app) {
  app.frmDownload.Unload();
}

void frmDownload_Form_Unload(model::App& app) {
  app.objTray.RemoveIcon(app.frmDownload.Peek());
}

void frmDownload_TrayMessage(model::App& app, int message) {
  model::FrmDownload& window = app.frmDownload.Peek();
  if (message != model::kTrayLeftButtonDoubleClick || !app.objTray.bRunningInTray(window))
    return;
  window.SetWindowState(forms::WindowState::kNormal);
  window.Show();
  window.SetWindowState(forms::WindowState::kNormal);
}

void InstallDownloadWindow(model::App& app) {
  model::FrmDownload& window = app.frmDownload.Peek();
  window.on_load = [&app] { frmDownload_Form_Load(app); };
  window.on_unload = [&app](int&) { frmDownload_Form_Unload(app); };
  window.on_tray_message = [&app](int message) { frmDownload_TrayMessage(app, message); };
  window.tmrBlink.on_timer = [&app] { frmDownload_tmrBlink_Timer(app); };
  window.Command1.on_click = [&app] { frmDownload_Command1_Click(app); };
}

}  // namespace ui
