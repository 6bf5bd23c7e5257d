#include "ui/windows/splash_about.h"

#include <exception>
#include <string>

#include "forms/go_on.h"
#include "machine/machine.h"
#include "model/app.h"
#include "ui/windows/branding.h"
#include "ui/windows/skin.h"

namespace ui {

void StartWithSplash(model::App& app) {
  app.frmSplash->Show();
}

void frmSplash_Load(model::App& app) {
  model::FrmSplash& splash = app.frmSplash.Peek();
  app.windows.bExitPending = false;
  InitBranding(app);
  if (app.branding.bUseSkin) {
    app.skin.objSkin = &splash.skn;
    ApplySkin(app, splash);
    app.skin.objSkinHelper.Attach(&splash.skn);
    app.skin.objSkinHelper.Start();
  }
  splash.Timer2.SetEnabled(true);
}

void Timer2_Timer(model::App& app) {
  model::FrmSplash& splash = app.frmSplash.Peek();
  splash.intStartupCount = static_cast<int16_t>(splash.intStartupCount + 2);
  if (splash.intStartupCount == kSplashCountEnd)
    EndSplash(app);
}

void EndSplash(model::App& app) {
  model::FrmSplash& splash = app.frmSplash.Peek();
  splash.Timer2.SetEnabled(false);
  model::FrmMain& main = app.frmMain;
  // The load passes over its own failures; whatever still escapes, the window comes up.
  forms::GoOnPastFailure([&] { main.Load(); });
  main.Show();
  splash.Hide();
}

void frmAbout_Load(model::App& app) {
  model::FrmAbout& about = app.frmAbout.Peek();
  const machine::VersionInfo& version = app.machine.version();
  about.SetCaption("About " + app.branding.strProductName);
  about.Label1.SetCaption(version.product_name);
  about.lblCompany.SetCaption(version.company_name);
  about.lblVersion.SetCaption(std::to_string(version.major) + "." + std::to_string(version.minor));
  about.lblWebsite.SetCaption(version.comments);
  if (app.branding.bUseSkin) {
    CloneLabelsAsSkinLabels(about, {&about.SkinLabel1}, LabelMatch::kEveryLabel);
    ApplySkin(app, about);
  }
}

void ShowWebsiteFromAbout(model::App& app) {
  app.frmWebsite->Show();
}

void InstallSplashAbout(model::App& app) {
  model::FrmSplash& splash = app.frmSplash.Peek();
  splash.on_load = [&app] { frmSplash_Load(app); };
  splash.Timer2.on_timer = [&app] { Timer2_Timer(app); };
  app.frmAbout.Peek().on_load = [&app] { frmAbout_Load(app); };
}

}  // namespace ui
