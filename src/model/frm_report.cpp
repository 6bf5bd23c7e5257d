#include "model/frm_report.h"

namespace model {

FrmReport::FrmReport(forms::Runtime& runtime) : Window(runtime, "frmReport") {
  // The caption is set at load, from the product name.
  Move(0, 0, 9000, 7200);
  Place(txtReport, nullptr, 120, 120, 8640, 6000);
  txtReport.SetMultiLine(true);
  txtReport.SetLocked(true);
  Place(Captioned(cmdOk, "OK"), nullptr, 7545, 6240, 1215, 375);

  forms::Label& label_template = SkinLabel1(0);
  Place(Captioned(label_template, "Windowed Label"), nullptr, 120, 6240, 1215, 255);
  label_template.SetVisible(false);
  MarkSkinLabel(label_template);
}

}  // namespace model
