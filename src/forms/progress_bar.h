#pragma once
// A progress bar. A value outside the range is refused and the old value stays.

#include "forms/control.h"

namespace forms {

class ProgressBar final : public Control {
 public:
  ProgressBar(Form& form, std::string name, int index = kNoIndex)
      : Control(form, ControlKind::kProgressBar, std::move(name), index) {}

  double Min() const { return state_.min; }
  double Max() const { return state_.max; }
  double Value() const { return state_.value; }
  // False, and nothing changes, when the value lies outside Min..Max.
  bool SetValue(double value);
  // False when the range would be empty (min not below max). A value left outside the new
  // range moves to its nearest end.
  bool SetMin(double min);
  bool SetMax(double max);

 protected:
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  struct State {
    double min = 0;
    double max = 100;
    double value = 0;
  };
  State state_;
  State design_;
};

}  // namespace forms
