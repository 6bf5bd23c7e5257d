#include "model/sliding_windows.h"

#include <utility>

#include "model/app.h"

namespace model {

namespace {

// The slide timers start switched off; each window's load switches on the one it needs.
void DesignTimer(forms::Timer& timer, int64_t interval_ms) {
  timer.SetInterval(interval_ms);
  timer.SetEnabled(false);
}

}  // namespace

FrmMenuPopUp::FrmMenuPopUp(forms::Runtime& runtime) : Window(runtime, "frmMenuPopUp") {
  Move(0, 0, 2700, 2100);
  Place(lblName, nullptr, 120, 120, 2460, 255);
  MarkSkinLabel(lblName);
  Place(Captioned(mnuMaxmimaize, "Show Program"), nullptr, 120, 480, 2460, 375);
  Place(Captioned(mnuClose, "Exit Program"), nullptr, 120, 900, 2460, 375);
  Place(Captioned(lblMenuClose, "Close This Menu"), nullptr, 120, 1320, 2460, 375);
  DesignTimer(tmrMenuPopup, 1);
  DesignTimer(TmrEnablePopDown, 1000);
  DesignTimer(tmrPopDown, 10);
}

FrmSignatureUpdated::FrmSignatureUpdated(forms::Runtime& runtime)
    : Window(runtime, "frmSignatureUpdated") {
  Move(0, 0, 3600, 2100);
  Place(Captioned(Label1, "Definition Update"), nullptr, 120, 120, 3360, 255);
  Label1.SetFontBold(true);
  Place(lblUpdateInfo, nullptr, 120, 480, 3360, 855);
  MarkSkinLabel(lblUpdateInfo);
  Place(Captioned(cmdUpdateSuccesfullOK, "OK"), nullptr, 2265, 1440, 1215, 375);
  forms::Label& template_label = SkinLabel1(0);
  Place(Captioned(template_label, "Windowed Label"), nullptr, 120, 1440, 1215, 255);
  template_label.SetVisible(false);
  MarkSkinLabel(template_label);
  DesignTimer(tmrPopupSignatureUpdate, 10);
  DesignTimer(tmrEnablePopDownTimer, 7000);
  DesignTimer(tmrPopDown, 10);
}

void ShowUpdateNotification(App& app, std::string text) {
  app.frmSignatureUpdated->tmrPopupSignatureUpdate.SetEnabled(true);
  app.frmSignatureUpdated->Show();
  app.frmSignatureUpdated->lblUpdateInfo.SetCaption(std::move(text));
}

}  // namespace model
