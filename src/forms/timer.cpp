#include "forms/timer.h"

#include "forms/form.h"
#include "forms/runtime.h"

namespace forms {

Timer::Timer(Form& form, std::string name, int index)
    : Control(form, ControlKind::kTimer, std::move(name), index) {
  runtime().RegisterTimer(*this);
}

Timer::~Timer() {
  runtime().UnregisterTimer(*this);
}

void Timer::SetInterval(int64_t interval_ms) {
  if (interval_ms < 0)
    interval_ms = 0;
  if (interval_ms_ == interval_ms)
    return;
  interval_ms_ = interval_ms;
  Changed();
  runtime().TimerChanged(*this);
}

void Timer::OnEnabledChanged() {
  runtime().TimerChanged(*this);
}

void Timer::SaveDesign() {
  Control::SaveDesign();
  interval_design_ = interval_ms_;
}

void Timer::RestoreDesign() {
  interval_ms_ = interval_design_;
  Control::RestoreDesign();
  runtime().TimerChanged(*this);
}

void Timer::CopyFrom(const Control& other) {
  interval_ms_ = static_cast<const Timer&>(other).interval_ms_;
  Control::CopyFrom(other);
  runtime().TimerChanged(*this);
}

}  // namespace forms
