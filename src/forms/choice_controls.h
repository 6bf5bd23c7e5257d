#pragma once
// Check boxes and option buttons: value controls whose click handler runs on every change of
// value, by the user or by code.

#include "forms/basic_controls.h"

namespace forms {

inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

class CheckBox final : public CaptionedControl {
 public:
  CheckBox(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kCheckBox, std::move(name), index) {}

  // kUnchecked, kChecked or kGrayed.
  int Value() const { return value_; }
  // Runs on_click when the value changes. A value other than 0, 1 or 2 is refused (false).
  bool SetValue(int value);

 protected:
  // The user's click ticks an unticked box and unticks a ticked or grayed one.
  void OnUserClick() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  int value_ = kUnchecked;
  int value_design_ = kUnchecked;
};

// Exclusive within its container: selecting one clears the others of the same form and
// container without running their handlers.
class OptionButton final : public CaptionedControl {
 public:
  OptionButton(Form& form, std::string name, int index = kNoIndex)
      : CaptionedControl(form, ControlKind::kOptionButton, std::move(name), index) {}

  bool Value() const { return value_; }
  // Selecting runs on_click when the button was not selected; clearing runs nothing.
  void SetValue(bool value);

 protected:
  void OnUserClick() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  void ClearSilently();

  bool value_ = false;
  bool value_design_ = false;
};

}  // namespace forms
