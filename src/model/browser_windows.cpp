#include "model/browser_windows.h"

namespace model {

FrmWebsite::FrmWebsite(forms::Runtime& runtime) : Window(runtime, "frmWebsite") {
  Move(0, 0, 9600, 7200);
  Place(Captioned(frmBrowser, "Browser"), nullptr, 120, 0, 9300, 6855);
  double left = 120;
  for (forms::CommandButton* button : {&Command4, &Command5, &Command6, &Command7}) {
    Place(*button, &frmBrowser, left, 240, 1095, 375);
    left += 1215;
  }
  Command4.SetCaption("Back");
  Command5.SetCaption("Forward");
  Command6.SetCaption("Stop");
  Command7.SetCaption("Refresh");
  Place(Captioned(Label5, "URL:"), &frmBrowser, 120, 780, 600, 255);
  Place(Text1, &frmBrowser, 840, 735, 7065, 315);
  Place(Captioned(Command3, "Go"), &frmBrowser, 8005, 720, 795, 345);
  Place(WebBrowser1, &frmBrowser, 120, 1200, 9080, 4500);
  forms::Label& template_label = SkinLabel1(0);
  Place(Captioned(template_label, "Windowed Label"), &frmBrowser, 120, 5760, 1215, 255);
  template_label.SetVisible(false);
  MarkSkinLabel(template_label);
  Place(StatusBar1, nullptr, 0, 6855, 9600, 345);
  StatusBar1.AddPanel();
}

Form8::Form8(forms::Runtime& runtime) : Window(runtime, "Form8") {
  Move(0, 0, 0, 0);
}

FrmHidden::FrmHidden(forms::Runtime& runtime) : Window(runtime, "frmHidden") {}

}  // namespace model
