#pragma once
// The program's clipboard over the desktop's: text goes on it as the host expects it (Unicode,
// LF line breaks).

#include "services/clipboard.h"

namespace view {

class QtClipboard final : public services::Clipboard {
 public:
  // False without a running QGuiApplication.
  bool Clear() override;
  bool SetText(std::string_view text) override;
};

}  // namespace view
