#pragma once
// The memory alert (STOP or ALLOW a running program) and the home-page alert (Yes to restore
// the protected page, No to adopt the new one).

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmSpywareFoundAlert final : public Window {
 public:
  explicit FrmSpywareFoundAlert(forms::Runtime& runtime);

  forms::Label lblProductName{*this, "lblProductName"};
  forms::Label Label1{*this, "Label1"};
  forms::Label SkinLabel4{*this, "SkinLabel4"};  // "File Name:"
  forms::Label lblAlertFileName{*this, "lblAlertFileName"};
  forms::Label SkinLabel5{*this, "SkinLabel5"};  // "Company Name:"
  forms::Label lblAlertCompanyName{*this, "lblAlertCompanyName"};
  forms::Label SkinLabel2{*this, "SkinLabel2"};
  forms::Label SkinLabel3{*this, "SkinLabel3"};
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
  forms::CommandButton cmdYes{*this, "cmdYes"};  // "STOP"
  forms::CommandButton cmdNO{*this, "cmdNO"};    // "ALLOW"
};

class FrmHomePageChangedAlert final : public Window {
 public:
  explicit FrmHomePageChangedAlert(forms::Runtime& runtime);

  // A picture box holding the rest.
  forms::Frame Picture1{*this, "Picture1"};
  forms::Label lblFrmHomePageProductName{*this, "lblFrmHomePageProductName"};
  forms::Label lblHomePageInfo{*this, "lblHomePageInfo"};
  forms::CommandButton cmdYes{*this, "cmdYes"};
  forms::CommandButton cmdNo{*this, "cmdNo"};
};

}  // namespace model
