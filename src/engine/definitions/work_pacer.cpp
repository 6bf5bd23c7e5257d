#include "engine/definitions/work_pacer.h"

namespace engine {

namespace {

// Well under the 50 ms that a user notices, with room for what runs before the first yield and
// for what the yield itself handles.
constexpr std::chrono::milliseconds kLongestStretch{10};

}  // namespace

void WorkPacer::Done(size_t bytes) {
  since_look_ += bytes;
  if (since_look_ < kPiece)
    return;
  since_look_ = 0;
  if (Clock::now() - last_yield_ >= kLongestStretch)
    Yield();
}

void WorkPacer::Yield() {
  system_.Yield();
  last_yield_ = Clock::now();
}

}  // namespace engine
