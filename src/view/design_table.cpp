#include "view/design_table.h"

#include "view/designs.h"

namespace view {

const ControlDesign* FormDesign::Find(std::string_view name, int index) const {
  const ControlDesign* any = nullptr;
  for (const ControlDesign& design : controls) {
    if (design.name != name)
      continue;
    if (design.index == index)
      return &design;
    if (design.index == ControlDesign::kAnyIndex && !any)
      any = &design;
  }
  return any;
}

const FormDesign* FindFormDesign(std::string_view form_name) {
  for (const FormDesign* design : AllFormDesigns()) {
    if (design->form_name == form_name)
      return design;
  }
  return nullptr;
}

}  // namespace view
