#pragma once
// The scan report viewer and the delete-failed window.

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmReport final : public Window {
 public:
  explicit FrmReport(forms::Runtime& runtime);

  forms::TextBox txtReport{*this, "txtReport"};
  forms::CommandButton cmdOk{*this, "cmdOk"};  // "OK"
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

class FrmDelete final : public Window {
 public:
  explicit FrmDelete(forms::Runtime& runtime);

  forms::Label SkinLabel11{*this, "SkinLabel11"};
  // One UndeletedFileRow per file that a removal could not delete.
  forms::ListView lstProblem{*this, "lstProblem"};
  forms::Label SkinLabel2{*this, "SkinLabel2"};
  forms::CommandButton Command1{*this, "Command1"};  // "Ok"
  forms::CommandButton Command2{*this, "Command2"};  // "Copy List"
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

}  // namespace model
