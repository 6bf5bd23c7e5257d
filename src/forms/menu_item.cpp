#include "forms/menu_item.h"

#include "forms/form.h"

namespace forms {

MenuItem* MenuItem::Parent() const {
  return dynamic_cast<MenuItem*>(Container());
}

std::vector<MenuItem*> MenuItem::SubItems() const {
  std::vector<MenuItem*> items;
  for (Control* control : form().Controls()) {
    if (control->Container() == this) {
      if (auto* item = dynamic_cast<MenuItem*>(control))
        items.push_back(item);
    }
  }
  return items;
}

void MenuItem::SetChecked(bool checked) {
  if (checked_ == checked)
    return;
  checked_ = checked;
  Changed();
}

void MenuItem::OnUserClick() {
  if (!IsSeparator())
    CaptionedControl::OnUserClick();
}

void MenuItem::SaveDesign() {
  CaptionedControl::SaveDesign();
  checked_design_ = checked_;
}

void MenuItem::RestoreDesign() {
  checked_ = checked_design_;
  CaptionedControl::RestoreDesign();
}

void MenuItem::CopyFrom(const Control& other) {
  checked_ = static_cast<const MenuItem&>(other).checked_;
  CaptionedControl::CopyFrom(other);
}

}  // namespace forms
