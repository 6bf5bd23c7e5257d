#pragma once
// The browser window, the help launcher and the empty hidden window.

#include "forms/forms.h"
#include "model/window.h"

namespace model {

class FrmWebsite final : public Window {
 public:
  explicit FrmWebsite(forms::Runtime& runtime);

  forms::Frame frmBrowser{*this, "frmBrowser"};  // "Browser"
  forms::Label Label5{*this, "Label5"};          // "URL:"
  forms::TextBox Text1{*this, "Text1"};
  forms::CommandButton Command3{*this, "Command3"};  // "Go"
  forms::CommandButton Command4{*this, "Command4"};  // "Back"
  forms::CommandButton Command5{*this, "Command5"};  // "Forward"
  forms::CommandButton Command6{*this, "Command6"};  // "Stop"
  forms::CommandButton Command7{*this, "Command7"};  // "Refresh"
  forms::Browser WebBrowser1{*this, "WebBrowser1"};
  forms::StatusBar StatusBar1{*this, "StatusBar1"};
  forms::ControlArray<forms::Label> SkinLabel1{*this, "SkinLabel1", {0}};
};

// Opens the help file in its load; never visible.
class Form8 final : public Window {
 public:
  explicit Form8(forms::Runtime& runtime);
};

// A window without content that nothing shows.
class FrmHidden final : public Window {
 public:
  explicit FrmHidden(forms::Runtime& runtime);
};

}  // namespace model
