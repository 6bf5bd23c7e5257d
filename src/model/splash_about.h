#pragma once
// The splash window (the start-up object, which carries the program's one skin control) and
// the About window.

#include <cstdint>

#include "forms/forms.h"
#include "model/skin_control.h"
#include "model/window.h"

namespace model {

class FrmSplash final : public Window {
 public:
  explicit FrmSplash(forms::Runtime& runtime);

  // The skin control; becomes objSkin when the splash window loads.
  SkinControl skn;
  // The start-up count, raised by 2 per tick of Timer2.
  int16_t intStartupCount = 0;

  forms::Image Image1{*this, "Image1"};
  forms::Timer Timer2{*this, "Timer2"};  // 2 ms, off in the design
};

class FrmAbout final : public Window {
 public:
  explicit FrmAbout(forms::Runtime& runtime);

  forms::Image Picture1{*this, "Picture1"};  // the logo
  forms::Label Label1{*this, "Label1"};      // the product name
  forms::Label Label2{*this, "Label2"};      // "Version:"
  forms::Label lblVersion{*this, "lblVersion"};
  forms::Label Label3{*this, "Label3"};  // "Owned By:"
  forms::Label lblCompany{*this, "lblCompany"};
  forms::Label Label4{*this, "Label4"};  // "Website:"
  forms::Label lblWebsite{*this, "lblWebsite"};
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

}  // namespace model
