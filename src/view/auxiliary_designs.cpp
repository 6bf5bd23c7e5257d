// Design tables of the auxiliary windows: little beyond which ones the user may resize and
// the parts a few labels play. The report viewer and the delete-failed window have theirs in
// result_designs.

#include "view/designs.h"
#include "view/result_designs.h"

namespace view {

namespace {

constexpr FontDesign kHeadline{"", 10, true};

std::vector<FormDesign> Designs() {
  return {
      {.form_name = "frmSplash", .centred_on_screen = true, .title_bar = false},
      {.form_name = "frmAbout",
       .centred_on_screen = true,
       .min_max_buttons = false,
       .controls = {{.name = "Label1", .role = Role::kHeading, .font = kHeadline}}},
      {.form_name = "frmSpywareFoundAlert",
       .centred_on_screen = true,
       .min_max_buttons = false,
       .controls = {{.name = "lblProductName", .role = Role::kHeading, .font = kHeadline},
                    {.name = "lblAlertFileName", .role = Role::kValue},
                    {.name = "lblAlertCompanyName", .role = Role::kValue}}},
      {.form_name = "frmHomePageChangedAlert",
       .centred_on_screen = true,
       .title_bar = false,
       .controls = {{.name = "Picture1", .role = Role::kPanel},
                    {.name = "lblFrmHomePageProductName",
                     .role = Role::kHeading,
                     .font = kHeadline}}},
      {.form_name = "frmDownload", .centred_on_screen = true, .min_max_buttons = false},
      {.form_name = "frmMenuPopUp",
       .min_max_buttons = false,
       .controls = {{.name = "lblName", .role = Role::kTitle, .align = Align::kCenter}}},
      {.form_name = "frmSignatureUpdated",
       .min_max_buttons = false,
       .controls = {{.name = "Label1", .role = Role::kTitle}}},
      {.form_name = "frmWebsite", .resizable = true},
  };
}

}  // namespace

const std::vector<FormDesign>& AuxiliaryDesigns() {
  static const std::vector<FormDesign> designs = Designs();
  return designs;
}

std::vector<const FormDesign*> AllFormDesigns() {
  std::vector<const FormDesign*> all = {&FrmMainDesign(), &FrmReportDesign(), &FrmDeleteDesign()};
  for (const FormDesign& design : AuxiliaryDesigns())
    all.push_back(&design);
  return all;
}

}  // namespace view
