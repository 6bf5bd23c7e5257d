#include "machine/restore_points.h"

namespace machine {

bool RecordingRestorePoints::Begin(std::string_view description, int type, int64_t& sequence) {
  calls_.push_back({kBeginSystemChange, type, 0, std::string(description)});
  if (refuse_begin_)
    return false;
  sequence = ++last_sequence_;
  return true;
}

bool RecordingRestorePoints::End(int64_t sequence) {
  calls_.push_back({kEndSystemChange, 0, sequence, std::string()});
  return !refuse_end_;
}

}  // namespace machine
