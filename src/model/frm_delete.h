#pragma once
// The delete-failed window: the files a removal could not delete, with "Copy List" and "Ok".
// Loaded hidden at start-up and kept loaded; its list keeps its rows until a scan or a removal
// started with "Delete" empties it.

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmDelete final : public Window {
 public:
  explicit FrmDelete(forms::Runtime& runtime);

  forms::Label SkinLabel11{*this, "SkinLabel11"};
  // One UndeletedFileRow per file that a removal could not delete.
  forms::ListView lstProblem{*this, "lstProblem"};
  forms::Label SkinLabel2{*this, "SkinLabel2"};
  forms::CommandButton Command1{*this, "Command1"};  // "Ok"
  forms::CommandButton Command2{*this, "Command2"};  // "Copy List"
  // The hidden template of the skinned labels.
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

}  // namespace model
