#pragma once
// Live Update's progress window, with its own tray icon while it is loaded.

#include <cstdint>
#include <string_view>

#include "forms/forms.h"
#include "model/window.h"

namespace model {

struct App;

class FrmDownload final : public Window {
 public:
  explicit FrmDownload(forms::Runtime& runtime);

  // The blink step, 0 to 14; kept for the life of the program, unloading does not reset it.
  int32_t lngBlinkStep = 0;

  forms::TextBox txtStatus{*this, "txtStatus"};
  forms::Label lblProduct{*this, "lblProduct"};
  forms::Label lblStatus{*this, "lblStatus"};
  forms::Image picUp{*this, "picUp"};
  forms::Image picDown{*this, "picDown"};
  forms::CommandButton Command1{*this, "Command1"};  // "Cancel"
  forms::Timer tmrBlink{*this, "tmrBlink"};          // 800 ms
};

// Live Update's progress text. Writes into the window only while it is loaded: once the user
// cancelled it, the update goes on without bringing it (or its tray icon) back.
void SetDownloadStatus(App& app, std::string_view text);

}  // namespace model
