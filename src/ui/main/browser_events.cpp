#include "ui/main/browser_events.h"

#include "model/app.h"

namespace ui {

void wbrMain_NewWindow2(model::App& /*app*/, bool& cancel) {
  cancel = true;
}

void wbrMain_StatusTextChange(model::App& app, const std::string& text) {
  app.frmMain.lblWebText.SetCaption(text);
}

void InstallBrowserEvents(model::App& app) {
  forms::Browser& browser = app.frmMain.wbrMain;
  browser.on_new_window = [&app](bool& cancel) { wbrMain_NewWindow2(app, cancel); };
  browser.on_status_text_change = [&app](const std::string& text) {
    wbrMain_StatusTextChange(app, text);
  };
}

}  // namespace ui
