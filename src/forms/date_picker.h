#pragma once
// A date or time picker whose value may be empty (its check box cleared).

#include <optional>
#include <string>

#include "forms/control.h"
#include "machine/date_time.h"

namespace forms {

class DatePicker final : public Control {
 public:
  DatePicker(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kDatePicker, std::move(name), index) {}

  // Empty when the picker is cleared.
  const std::optional<machine::DateTime>& Value() const { return state_.value; }
  bool IsEmpty() const { return !state_.value.has_value(); }
  // A change of value (empty counts as a value) runs on_change, then on_click.
  void SetValue(std::optional<machine::DateTime> value);
  void SetEmpty() { SetValue(std::nullopt); }

  // Whether the picker may be emptied (shows a check box).
  bool AllowEmpty() const { return state_.allow_empty; }
  void SetAllowEmpty(bool allow_empty);
  // Display format for the view, in the picker's own notation ("dd/MM/yyyy", "hh:mm:ss").
  const std::string& Format() const { return state_.format; }
  void SetFormat(std::string format);

  std::function<void()> on_change;

  // The user picks a value, or empties the picker (refused when it may not be emptied).
  bool UserSetValue(std::optional<machine::DateTime> value);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    std::optional<machine::DateTime> value;
    bool allow_empty = false;
    std::string format = "M/d/yyyy";
  };
  State state_;
  State design_;
};

}  // namespace forms
