#include "ui/windows/branding.h"

#include "machine/machine.h"
#include "model/app.h"

namespace ui {

void InitBranding(model::App& app) {
  const machine::VersionInfo& version = app.machine.version();
  model::Branding& branding = app.branding;
  branding.strProductName = version.product_name;
  branding.strCompanyName = version.company_name;
  branding.strWebsite = version.comments;
  branding.bUseSkin = true;
  branding.bUseSplashIcon = false;
  app.runtime.SetProductName(branding.strProductName);
}

}  // namespace ui
