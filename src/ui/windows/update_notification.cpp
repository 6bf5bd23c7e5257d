#include "ui/windows/update_notification.h"

#include <string>

#include "model/app.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "ui/windows/skin.h"
#include "ui/windows/slide_placement.h"

namespace ui {

namespace {

constexpr double kSlideUpStep = 20;
constexpr double kSlideDownStep = 40;
// Where the slide down ends, whatever the screen.
constexpr double kSlideDownEnd = 11167;

model::FrmSignatureUpdated& Window(model::App& app) {
  return app.frmSignatureUpdated.Peek();
}

}  // namespace

void frmSignatureUpdated_Form_Load(model::App& app) {
  model::FrmSignatureUpdated& window = Window(app);
  window.tmrEnablePopDownTimer.SetEnabled(false);
  window.tmrPopDown.SetEnabled(false);
  window.lblUpdateInfo.SetCaption("All " + app.SettingsApplication() +
                                  " signatures have been updated automatically.  You are now "
                                  "protected from new malicious applications.");
  window.placement = PlaceAtTaskbar(window, app.windows.Desktop());
  window.SetVisible(true);
  app.shields.bAlertAnswered = false;
  window.tmrPopupSignatureUpdate.SetEnabled(true);
  if (app.branding.bUseSkin) {
    CloneLabelsAsSkinLabels(window, {&window.SkinLabel1});
    ApplySkin(app, window);
  }
}

void frmSignatureUpdated_tmrPopupSignatureUpdate_Timer(model::App& app) {
  model::FrmSignatureUpdated& window = Window(app);
  window.SetVisible(true);
  if (window.Top() <= window.placement.lngTargetTop) {
    window.tmrPopupSignatureUpdate.SetEnabled(false);
    window.tmrEnablePopDownTimer.SetEnabled(true);
  } else {
    window.SetTop(window.Top() - kSlideUpStep);
  }
}

void frmSignatureUpdated_tmrEnablePopDownTimer_Timer(model::App& app) {
  model::FrmSignatureUpdated& window = Window(app);
  window.tmrEnablePopDownTimer.SetEnabled(false);
  window.tmrPopDown.SetEnabled(true);
}

void frmSignatureUpdated_tmrPopDown_Timer(model::App& app) {
  model::FrmSignatureUpdated& window = Window(app);
  window.SetVisible(true);
  window.SetTop(window.Top() + kSlideDownStep);
  if (window.Top() > kSlideDownEnd) {
    window.tmrPopDown.SetEnabled(false);
    frmSignatureUpdated_cmdUpdateSuccesfullOK_Click(app);
  }
}

void frmSignatureUpdated_cmdUpdateSuccesfullOK_Click(model::App& app) {
  model::WriteUserSetting(app, model::kOptionsSection, "SHOW", "false");
  Window(app).tmrPopupSignatureUpdate.SetEnabled(false);
  app.objTray.RemoveIcon(app.frmDownload.Peek());
  app.frmSignatureUpdated.Unload();
}

void InstallUpdateNotification(model::App& app) {
  model::FrmSignatureUpdated& window = app.frmSignatureUpdated.Peek();
  window.on_load = [&app] { frmSignatureUpdated_Form_Load(app); };
  window.tmrPopupSignatureUpdate.on_timer = [&app] {
    frmSignatureUpdated_tmrPopupSignatureUpdate_Timer(app);
  };
  window.tmrEnablePopDownTimer.on_timer = [&app] {
    frmSignatureUpdated_tmrEnablePopDownTimer_Timer(app);
  };
  window.tmrPopDown.on_timer = [&app] { frmSignatureUpdated_tmrPopDown_Timer(app); };
  window.cmdUpdateSuccesfullOK.on_click = [&app] {
    frmSignatureUpdated_cmdUpdateSuccesfullOK_Click(app);
  };
}

}  // namespace ui
