#include "forms/date_picker.h"

#include <utility>

namespace forms {

void DatePicker::SetValue(std::optional<machine::DateTime> value) {
  if (state_.value == value)
    return;
  state_.value = value;
  Changed();
  if (on_change)
    on_change();
  if (on_click)
    on_click();
}

void DatePicker::SetAllowEmpty(bool allow_empty) {
  if (state_.allow_empty == allow_empty)
    return;
  state_.allow_empty = allow_empty;
  Changed();
}

void DatePicker::SetFormat(std::string format) {
  if (state_.format == format)
    return;
  state_.format = std::move(format);
  Changed();
}

bool DatePicker::UserSetValue(std::optional<machine::DateTime> value) {
  if (!value && !state_.allow_empty)
    return Refuse("clear", "the picker may not be emptied");
  return RunUserAction("pick", [this, value] { SetValue(value); });
}

void DatePicker::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void DatePicker::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void DatePicker::CopyFrom(const Control& other) {
  state_ = static_cast<const DatePicker&>(other).state_;
  Control::CopyFrom(other);
}

}  // namespace forms
