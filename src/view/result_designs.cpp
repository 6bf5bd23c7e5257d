// Design tables of the scan report viewer and the delete-failed window. Both are fixed-size
// dialogs that open over the main window: nothing in them follows a change of its size.

#include "view/result_designs.h"

namespace view {

const FormDesign& FrmReportDesign() {
  // The report is plain text aligned with blanks; a fixed-pitch face keeps its layout.
  static const FormDesign design{
      .form_name = "frmReport",
      .centred_over = "FrmMain",
      .controls = {{.name = "txtReport", .font = FontDesign{"Courier New", 9, false}}}};
  return design;
}

const FormDesign& FrmDeleteDesign() {
  // One captioned column of paths.
  static const FormDesign design{.form_name = "frmDelete",
                                 .centred_over = "FrmMain",
                                 .controls = {{.name = "lstProblem", .column_headers = true}}};
  return design;
}

}  // namespace view
