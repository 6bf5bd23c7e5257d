#pragma once
// A timer: ticks every Interval() milliseconds while enabled, its form is loaded and the
// interval is not 0. The runtime owns the countdown:
// - switching off and on again restarts it; switching on while on changes nothing;
// - changing the interval while on restarts it;
// - ticks missed while the program is busy merge into one;
// - a tick due while the timer's own handler runs (it yielded) is dropped.

#include <cstdint>

#include "forms/control.h"

namespace forms {

class Timer final : public Control {
 public:
  // Enabled with interval 0 until set, as a new timer is.
  Timer(Form& form, std::string name, int index = kNoIndex);
  ~Timer() override;

  int64_t Interval() const { return interval_ms_; }
  void SetInterval(int64_t interval_ms);

  // True while its tick handler runs.
  bool Running() const { return running_; }

  std::function<void()> on_timer;

 protected:
  void OnEnabledChanged() override;
  void SaveDesign() override;
  void RestoreDesign() override;
  void CopyFrom(const Control& other) override;

 private:
  friend class Runtime;

  int64_t interval_ms_ = 0;
  int64_t interval_design_ = 0;
  bool running_ = false;
};

}  // namespace forms
