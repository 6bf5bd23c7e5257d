#pragma once
// The scan report viewer: the report file shown read-only in one text box, and "OK".

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmReport final : public Window {
 public:
  explicit FrmReport(forms::Runtime& runtime);

  // The report as read at load; locked, so the user can select and copy but not edit.
  forms::TextBox txtReport{*this, "txtReport"};
  forms::CommandButton cmdOk{*this, "cmdOk"};  // "OK"
  // The hidden template of the skinned labels.
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

}  // namespace model
