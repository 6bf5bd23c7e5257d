#include "model/download_window.h"

#include <string>

#include "model/app.h"

namespace model {

FrmDownload::FrmDownload(forms::Runtime& runtime) : Window(runtime, "frmDownload") {
  Move(0, 0, 5400, 2700);
  Place(Captioned(lblProduct, "Connecting: Checking for Updates"), nullptr, 960, 120, 4200, 255);
  MarkSkinLabel(lblProduct);
  Place(lblStatus, nullptr, 960, 420, 4200, 255);
  MarkSkinLabel(lblStatus);
  Place(picUp, nullptr, 240, 120, 480, 480);
  picUp.SetPicture("arrow-up");
  Place(picDown, nullptr, 240, 120, 480, 480);
  picDown.SetPicture("arrow-down");
  picDown.SetVisible(false);
  Place(txtStatus, nullptr, 240, 780, 4920, 975);
  txtStatus.SetMultiLine(true);
  txtStatus.SetLocked(true);
  Place(Captioned(Command1, "Cancel"), nullptr, 3945, 1920, 1215, 375);
  tmrBlink.SetInterval(800);
  tmrBlink.SetEnabled(false);
}

void SetDownloadStatus(App& app, std::string_view text) {
  if (app.frmDownload.Loaded())
    app.frmDownload.Peek().txtStatus.SetText(std::string(text));
}

}  // namespace model
