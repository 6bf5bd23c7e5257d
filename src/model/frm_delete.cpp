#include "model/frm_delete.h"

namespace model {

FrmDelete::FrmDelete(forms::Runtime& runtime) : Window(runtime, "frmDelete") {
  Move(0, 0, 7200, 5400);
  SetCaption("Delete Failed");
  Place(Captioned(SkinLabel11,
                  "The following files could not be deleted.  You should save your work, close "
                  "all running programs (especially browsers) and try to delete them again."),
        nullptr, 120, 120, 6840, 615);
  MarkSkinLabel(SkinLabel11);
  Place(lstProblem, nullptr, 120, 840, 6840, 2880);
  lstProblem.AddColumn("Location", 6600);
  Place(Captioned(SkinLabel2,
                  "If you still cannot delete them, you should start your computer in Safe Mode "
                  "and either scan again or delete them manually."),
        nullptr, 120, 3840, 6840, 615);
  MarkSkinLabel(SkinLabel2);
  Place(Captioned(Command2, "Copy List"), nullptr, 4410, 4560, 1215, 375);
  Place(Captioned(Command1, "Ok"), nullptr, 5745, 4560, 1215, 375);

  forms::Label& label_template = SkinLabel1(0);
  Place(Captioned(label_template, "Windowed Label"), nullptr, 120, 4560, 1215, 255);
  label_template.SetVisible(false);
  MarkSkinLabel(label_template);
}

}  // namespace model
