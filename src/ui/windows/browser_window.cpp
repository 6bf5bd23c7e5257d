#include "ui/windows/browser_window.h"

#include <cmath>

#include "model/app.h"
#include "services/window_helpers.h"
#include "ui/windows/branding.h"
#include "ui/windows/skin.h"

namespace ui {

namespace {

// Room right of the frame, and right of the address row.
constexpr double kFrameMargin = 300;
constexpr double kGoGap = 100;
constexpr double kBrowserRightMargin = 100;
constexpr double kBrowserBottomMargin = 800;

model::FrmWebsite& Window(model::App& app) {
  return app.frmWebsite.Peek();
}

}  // namespace

void frmWebsite_Form_Load(model::App& app) {
  model::FrmWebsite& window = Window(app);
  InitBranding(app);
  window.StatusBar1.AddPanel();
  window.SetCaption(app.branding.strWebsite);
  services::SetTopMost(app.system, window.hWnd(), true);
  if (app.branding.bUseSkin) {
    CloneLabelsAsSkinLabels(window, {&window.SkinLabel1});
    ApplySkin(app, window);
  }
  window.WebBrowser1.Navigate(app.branding.strWebsite);
  app.windows.strWebsiteMode = "Website";
  window.SetWindowState(forms::WindowState::kMaximized);
  services::SetTopMost(app.system, window.hWnd(), false);
}

void ArrangeBrowserControls(model::App& app) {
  model::FrmWebsite& window = Window(app);
  const double width = window.Width();
  const double height = window.Height();
  window.StatusBar1.SetPanelWidth(0, std::abs(width / 2));
  window.StatusBar1.SetPanelWidth(1, std::abs(width / 2));

  forms::Frame& frame = window.frmBrowser;
  frame.SetHeight(std::abs(height - window.StatusBar1.Height()));
  frame.SetWidth(std::abs(width - kFrameMargin));

  forms::TextBox& address = window.Text1;
  address.SetWidth(
      std::abs(frame.Width() - address.Left() - kFrameMargin - window.Command3.Width()));
  window.Command3.SetLeft(std::abs(address.Left() + address.Width() + kGoGap));

  forms::Browser& browser = window.WebBrowser1;
  browser.SetWidth(std::abs(frame.Width() - browser.Left() - kBrowserRightMargin));
  browser.SetHeight(
      std::abs(frame.Height() - browser.Top() - kBrowserBottomMargin - window.StatusBar1.Height()));
}

void frmWebsite_Command3_Click(model::App& app) {
  model::FrmWebsite& window = Window(app);
  window.WebBrowser1.Navigate(window.Text1.Text());
}

void frmWebsite_Text1_KeyPress(model::App& app, int& key_ascii) {
  if (key_ascii == forms::kKeyReturn)
    frmWebsite_Command3_Click(app);
}

void frmWebsite_Form_Unload(model::App& app) {
  if (!app.windows.bExitPending)
    return;
  if (app.branding.bUseSkin)
    app.skin.objSkinHelper.Finish();
  app.runtime.EndProgram();
}

void InstallBrowserWindow(model::App& app) {
  model::FrmWebsite& window = Window(app);
  window.on_load = [&app] { frmWebsite_Form_Load(app); };
  window.on_resize = [&app] { ArrangeBrowserControls(app); };
  window.on_paint = [&app] { ArrangeBrowserControls(app); };
  window.on_unload = [&app](int&) { frmWebsite_Form_Unload(app); };
  window.Command3.on_click = [&app] { frmWebsite_Command3_Click(app); };
  window.Text1.on_key_press = [&app](int& key_ascii) { frmWebsite_Text1_KeyPress(app, key_ascii); };
  // The browser ignores a command it cannot carry out (Back without history): no message.
  window.Command4.on_click = [&app] { Window(app).WebBrowser1.GoBack(); };
  window.Command5.on_click = [&app] { Window(app).WebBrowser1.GoForward(); };
  window.Command6.on_click = [&app] { Window(app).WebBrowser1.Stop(); };
  window.Command7.on_click = [&app] { Window(app).WebBrowser1.Refresh(); };
  window.WebBrowser1.on_status_text_change = [&app](const std::string& text) {
    Window(app).StatusBar1.SetPanelText(0, text);
  };
  window.WebBrowser1.on_download_complete = [&app] {
    model::FrmWebsite& shown = Window(app);
    shown.Text1.SetText(shown.WebBrowser1.LocationUrl());
    shown.SetCaption(shown.WebBrowser1.LocationName());
  };
}

}  // namespace ui
