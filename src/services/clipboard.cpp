#include "services/clipboard.h"

namespace services {

bool RecordingClipboard::Clear() {
  calls_.emplace_back("Clear");
  if (refuse_)
    return false;
  text_.reset();
  return true;
}

bool RecordingClipboard::SetText(std::string_view text) {
  calls_.emplace_back("SetText");
  if (refuse_)
    return false;
  text_ = std::string(text);
  return true;
}

}  // namespace services
