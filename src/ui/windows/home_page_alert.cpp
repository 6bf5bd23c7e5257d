#include "ui/windows/home_page_alert.h"

#include "engine/shields/home_page_shield.h"
#include "model/app.h"
#include "ui/windows/skin.h"

namespace ui {

void frmHomePageChangedAlert_Form_Load(model::App& app) {
  model::FrmHomePageChangedAlert& window = app.frmHomePageChangedAlert.Peek();
  window.lblFrmHomePageProductName.SetCaption(app.ProductName());
  if (app.branding.bUseSkin)
    ApplySkin(app, window);
}

void frmHomePageChangedAlert_cmdYes_Click(model::App& app) {
  engine::RestoreHomePage(app);
  app.frmHomePageChangedAlert.Unload();
}

void frmHomePageChangedAlert_cmdNo_Click(model::App& app) {
  engine::AcceptNewHomePage(app);
  app.frmHomePageChangedAlert.Unload();
}

void InstallHomePageAlert(model::App& app) {
  model::FrmHomePageChangedAlert& window = app.frmHomePageChangedAlert.Peek();
  window.on_load = [&app] { frmHomePageChangedAlert_Form_Load(app); };
  window.cmdYes.on_click = [&app] { frmHomePageChangedAlert_cmdYes_Click(app); };
  window.cmdNo.on_click = [&app] { frmHomePageChangedAlert_cmdNo_Click(app); };
}

}  // namespace ui
