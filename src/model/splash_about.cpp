#include "model/splash_about.h"

namespace model {

FrmSplash::FrmSplash(forms::Runtime& runtime) : Window(runtime, "frmSplash") {
  Move(0, 0, 6000, 3600);
  Place(Image1, nullptr, 0, 0, 6000, 3600);
  Image1.SetPicture("splash");
  Timer2.SetInterval(2);
  Timer2.SetEnabled(false);
}

FrmAbout::FrmAbout(forms::Runtime& runtime) : Window(runtime, "frmAbout") {
  Move(0, 0, 6000, 2700);
  forms::Font verdana;
  verdana.name = "Verdana";

  Place(Picture1, nullptr, 240, 240, 960, 960);
  Picture1.SetPicture("about-logo");
  SetTypeName(Picture1, "PictureBox");

  struct Field {
    forms::Label* caption;  // nullptr for the heading
    const char* caption_text;
    forms::Label& value;
    const char* value_text;
  };
  const Field fields[] = {
      {nullptr, "", Label1, "YourProgramName"},
      {&Label2, "Version:", lblVersion, "Version"},
      {&Label3, "Owned By:", lblCompany, "Version"},
      {&Label4, "Website:", lblWebsite, "Version"},
  };
  double top = 240;
  for (const Field& f : fields) {
    if (f.caption) {
      Place(Captioned(*f.caption, f.caption_text), nullptr, 1440, top, 1200, 255);
      f.caption->SetFont(verdana);
    }
    Place(Captioned(f.value, f.value_text), nullptr, f.caption ? 2760 : 1440, top,
          f.caption ? 3000 : 4320, 255);
    f.value.SetFont(verdana);
    MarkSkinLabel(f.value);
    top += 480;
  }

  forms::Label& template_label = SkinLabel1(0);
  Place(Captioned(template_label, "Windowed Label"), nullptr, 240, 2040, 1215, 255);
  template_label.SetVisible(false);
  MarkSkinLabel(template_label);
}

}  // namespace model
