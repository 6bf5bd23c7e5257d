#pragma once
// The machine's clock, injectable so that tests run against a fixed or advancing time.

#include <cstdint>

#include "machine/date_time.h"

namespace machine {

class Clock {
 public:
  virtual ~Clock() = default;
  // The local date and time.
  virtual DateTime Now() const = 0;
  // Milliseconds from an arbitrary start, never going back.
  virtual int64_t MonotonicMs() const = 0;
};

// Reads the host's local time and steady clock.
class SystemClock final : public Clock {
 public:
  DateTime Now() const override;
  int64_t MonotonicMs() const override;
};

// A clock that moves only when told to.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(DateTime now) : now_(now) {}
  DateTime Now() const override { return now_.AddSeconds(elapsed_ms_ / 1000); }
  int64_t MonotonicMs() const override { return elapsed_ms_; }
  void Set(DateTime now) {
    now_ = now;
    elapsed_ms_ = 0;
  }
  void AdvanceMs(int64_t ms) { elapsed_ms_ += ms; }

 private:
  DateTime now_;
  int64_t elapsed_ms_ = 0;
};

}  // namespace machine
