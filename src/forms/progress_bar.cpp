#include "forms/progress_bar.h"

#include <algorithm>

namespace forms {

bool ProgressBar::SetValue(double value) {
  if (value < state_.min || value > state_.max)
    return false;
  if (state_.value != value) {
    state_.value = value;
    Changed();
  }
  return true;
}

bool ProgressBar::SetMin(double min) {
  if (min >= state_.max)
    return false;
  state_.min = min;
  state_.value = std::max(state_.value, min);
  Changed();
  return true;
}

bool ProgressBar::SetMax(double max) {
  if (max <= state_.min)
    return false;
  state_.max = max;
  state_.value = std::min(state_.value, max);
  Changed();
  return true;
}

void ProgressBar::SaveDesign() {
  Control::SaveDesign();
  design_ = state_;
}

void ProgressBar::RestoreDesign() {
  state_ = design_;
  Control::RestoreDesign();
}

void ProgressBar::CopyFrom(const Control& other) {
  state_ = static_cast<const ProgressBar&>(other).state_;
  Control::CopyFrom(other);
}

}  // namespace forms
