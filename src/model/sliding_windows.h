#pragma once
// The two windows that slide out of the taskbar: the tray pop-up menu and the update
// notification. Their placement values are kept while they are loaded.

#include <cstdint>
#include <string>

#include "forms/forms.h"
#include "model/window.h"

namespace model {

struct App;

// Where a sliding window starts and stops, in twips.
struct SlidePlacement {
  int16_t intRowFactor = 1;
  int32_t lngTargetTop = 0;
  int32_t lngTaskbarHeight = 0;
  int32_t lngScreenHeight = 0;
};

class FrmMenuPopUp final : public Window {
 public:
  explicit FrmMenuPopUp(forms::Runtime& runtime);

  SlidePlacement placement;
  // Ticks of TmrEnablePopDown since the slide up ended or the mouse last moved over the window.
  int32_t lngIdleCount = 0;

  forms::Label lblName{*this, "lblName"};
  forms::CommandButton mnuMaxmimaize{*this, "mnuMaxmimaize"};  // "Show Program"
  forms::CommandButton mnuClose{*this, "mnuClose"};            // "Exit Program"
  forms::CommandButton lblMenuClose{*this, "lblMenuClose"};    // "Close This Menu"
  forms::Timer tmrMenuPopup{*this, "tmrMenuPopup"};            // 1 ms: slide up
  forms::Timer TmrEnablePopDown{*this, "TmrEnablePopDown"};    // 1000 ms: idle seconds
  forms::Timer tmrPopDown{*this, "tmrPopDown"};                // 10 ms: slide down
};

class FrmSignatureUpdated final : public Window {
 public:
  explicit FrmSignatureUpdated(forms::Runtime& runtime);

  SlidePlacement placement;

  forms::Label Label1{*this, "Label1"};  // "Definition Update"
  forms::Label lblUpdateInfo{*this, "lblUpdateInfo"};
  forms::CommandButton cmdUpdateSuccesfullOK{*this, "cmdUpdateSuccesfullOK"};  // "OK"
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
  forms::Timer tmrPopupSignatureUpdate{*this, "tmrPopupSignatureUpdate"};  // 10 ms: slide up
  forms::Timer tmrEnablePopDownTimer{*this, "tmrEnablePopDownTimer"};      // 7000 ms: hold
  forms::Timer tmrPopDown{*this, "tmrPopDown"};                            // 10 ms: slide down
};

// Live Update's outcome: the notification's slide up switched on (loading it when it is not
// loaded), the window shown, `text` as its message. A notification still on screen takes the
// new text where it is.
void ShowUpdateNotification(App& app, std::string text);

}  // namespace model
