#pragma once
// Small windows and a headless runtime shared by the form runtime's tests.

#include <string>

#include "forms/forms.h"
#include "forms/headless_backend.h"

namespace forms_test {

// A window with one control of the kinds the tests use, counting its lifecycle events.
class TestWindow : public forms::Form {
 public:
  TestWindow(forms::Runtime& runtime, std::string name,
             forms::FormRole role = forms::FormRole::kAuxiliary)
      : Form(runtime, std::move(name), role) {
    lblStatus.SetCaption("design");
    tmrTick.SetInterval(100);
    tmrTick.SetEnabled(false);
    cmdClose.on_click = [this] { Hide(); };
  }

  forms::Label lblStatus{*this, "lblStatus"};
  forms::CommandButton cmdGo{*this, "cmdGo"};
  forms::CommandButton cmdClose{*this, "cmdClose"};
  forms::Timer tmrTick{*this, "tmrTick"};

  int loads = 0;
  int unloads = 0;
  int resizes = 0;
  int query_cancel = 0;

 protected:
  void Form_Load() override { ++loads; }
  void Form_Resize() override { ++resizes; }
  void Form_QueryUnload(int& cancel, forms::UnloadMode) override { cancel = query_cancel; }
  void Form_Unload(int&) override { ++unloads; }
};

// A headless backend and a runtime over it.
struct Headless {
  forms::HeadlessBackend backend;
  forms::Runtime runtime{backend, "Hearthguard"};
};

}  // namespace forms_test
