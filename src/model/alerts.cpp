#include "model/alerts.h"

namespace model {

FrmSpywareFoundAlert::FrmSpywareFoundAlert(forms::Runtime& runtime)
    : Window(runtime, "frmSpywareFoundAlert") {
  Move(0, 0, 6000, 3900);
  forms::Font verdana;
  verdana.name = "Verdana";

  struct Text {
    forms::Label& label;
    const char* caption;
    double left, top, width;
  };
  const Text texts[] = {
      {lblProductName, "Malicious Program Found", 240, 120, 5520},
      {Label1, "Spyware/Adware has been detected.", 240, 600, 5520},
      {SkinLabel4, "File Name:", 240, 1020, 1680},
      {lblAlertFileName, "Spyware.exe", 2040, 1020, 3720},
      {SkinLabel5, "Company Name:", 240, 1380, 1680},
      {lblAlertCompanyName, "Bad Evil Company, Inc.", 2040, 1380, 3720},
      {SkinLabel2, "Click STOP to stop it from running.", 240, 1860, 5520},
      {SkinLabel3, "Click ALLOW to allow the program to run.", 240, 2220, 5520},
      {SkinLabel1(0), "Windowed Label", 240, 2700, 1215},
  };
  for (const Text& t : texts) {
    Place(Captioned(t.label, t.caption), nullptr, t.left, t.top, t.width, 255);
    t.label.SetFont(verdana);
    MarkSkinLabel(t.label);
  }
  lblProductName.SetFontBold(true);
  SkinLabel1(0).SetVisible(false);

  Place(Captioned(cmdYes, "STOP"), nullptr, 1620, 3000, 1215, 495);
  Place(Captioned(cmdNO, "ALLOW"), nullptr, 3165, 3000, 1215, 495);
}

FrmHomePageChangedAlert::FrmHomePageChangedAlert(forms::Runtime& runtime)
    : Window(runtime, "frmHomePageChangedAlert") {
  Move(0, 0, 6000, 3000);
  Place(Picture1, nullptr, 0, 0, 6000, 3000);
  SetTypeName(Picture1, "PictureBox");
  Place(Captioned(lblFrmHomePageProductName, "Product Name"), &Picture1, 240, 120, 5520, 255);
  Place(Captioned(lblHomePageInfo, "##########"), &Picture1, 240, 480, 5520, 1575);
  Place(Captioned(cmdYes, "Yes"), &Picture1, 1800, 2280, 1095, 495);
  Place(Captioned(cmdNo, "No"), &Picture1, 3105, 2280, 1095, 495);
}

}  // namespace model
