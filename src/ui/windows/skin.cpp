#include "ui/windows/skin.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "model/app.h"
#include "model/window.h"

namespace ui {

namespace {

bool SkinOnce(model::App& app, model::Window& window) {
  model::SkinControl* skin = app.skin.objSkin;
  if (!skin)
    return false;
  const model::SkinColors& colors = skin->Colors();
  ColorFormControls(window, colors.back, colors.fore, colors.panel, colors.extra);
  skin->SkinWindow(window.hWnd());
  return true;
}

bool TakesBackAndFore(const std::string& type) {
  static const std::set<std::string> kTypes = {
      "TextBox", "ComboBox", "FileListBox", "DirListBox", "DriveListBox", "ListBox", "ListView"};
  return kTypes.count(type) != 0;
}

}  // namespace

void ApplySkin(model::App& app, model::Window& window) {
  if (SkinOnce(app, window))
    return;
  // The skin control lives on the splash window; loading it sets objSkin. Its start-up count
  // must not run a second time.
  model::FrmSplash& splash = app.frmSplash.Get();
  splash.Timer2.SetEnabled(false);
  splash.Hide();
  SkinOnce(app, window);
}

void ColorFormControls(model::Window& window, forms::Color back, forms::Color fore,
                       forms::Color panel, forms::Color /*extra*/) {
  for (forms::Control* control : window.Controls()) {
    const std::string type = window.TypeName(*control);
    if (type == "CommandButton") {
      control->SetBackColor(back);
    } else if (TakesBackAndFore(type)) {
      control->SetBackColor(back);
      control->SetForeColor(fore);
    } else if (type == "PictureBox") {
      control->SetBackColor(panel);
    }
  }
}

void CloneLabelsAsSkinLabels(
    model::Window& window,
    std::initializer_list<const forms::ControlArray<forms::Label>*> templates, LabelMatch match) {
  std::vector<const forms::Control*> containers;
  for (const forms::ControlArray<forms::Label>* array : templates)
    if (const forms::Label* element = array->Find(0))
      containers.push_back(element->Container());

  // Marking does not add or remove controls, so the list stays valid while we walk it.
  for (forms::Control* control : window.Controls()) {
    if (window.TypeName(*control) != "Label")
      continue;
    const bool has_template = match == LabelMatch::kEveryLabel
                                  ? !containers.empty()
                                  : std::find(containers.begin(), containers.end(),
                                              control->Container()) != containers.end();
    if (has_template)
      window.MarkSkinLabel(static_cast<forms::Label&>(*control));
  }
}

}  // namespace ui
