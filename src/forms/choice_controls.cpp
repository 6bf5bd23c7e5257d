#include "forms/choice_controls.h"

#include "forms/form.h"

namespace forms {

bool CheckBox::SetValue(int value) {
  if (value != kUnchecked && value != kChecked && value != kGrayed)
    return false;
  if (value_ == value)
    return true;
  value_ = value;
  Changed();
  if (on_click)
    on_click();
  return true;
}

void CheckBox::OnUserClick() {
  SetValue(value_ == kUnchecked ? kChecked : kUnchecked);
}

void CheckBox::SaveDesign() {
  CaptionedControl::SaveDesign();
  value_design_ = value_;
}

void CheckBox::RestoreDesign() {
  value_ = value_design_;
  CaptionedControl::RestoreDesign();
}

void CheckBox::CopyFrom(const Control& other) {
  value_ = static_cast<const CheckBox&>(other).value_;
  CaptionedControl::CopyFrom(other);
}

void OptionButton::SetValue(bool value) {
  if (value_ == value)
    return;
  if (!value) {
    ClearSilently();
    return;
  }
  for (Control* control : form().Controls()) {
    if (control == this || control->kind() != ControlKind::kOptionButton ||
        control->Container() != Container())
      continue;
    if (auto* option = dynamic_cast<OptionButton*>(control))
      option->ClearSilently();
  }
  value_ = true;
  Changed();
  if (on_click)
    on_click();
}

void OptionButton::ClearSilently() {
  if (!value_)
    return;
  value_ = false;
  Changed();
}

void OptionButton::OnUserClick() {
  SetValue(true);
}

void OptionButton::SaveDesign() {
  CaptionedControl::SaveDesign();
  value_design_ = value_;
}

void OptionButton::RestoreDesign() {
  value_ = value_design_;
  CaptionedControl::RestoreDesign();
}

void OptionButton::CopyFrom(const Control& other) {
  // A copied element starts cleared: two selected buttons in one container would break the
  // group's rule.
  value_ = false;
  CaptionedControl::CopyFrom(other);
}

}  // namespace forms
