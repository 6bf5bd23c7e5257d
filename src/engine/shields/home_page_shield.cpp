#include "engine/shields/home_page_shield.h"

#include <optional>
#include <utility>

#include "engine/shields/memory_shield.h"
#include "engine/shields/shield_tick.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "services/registry_home_page.h"
#include "services/registry_key.h"
#include "services/settings_store.h"

namespace engine {

namespace {

constexpr std::string_view kHomePageSetting = "Homepage";
// "Start Page" is REG_SZ.
constexpr int32_t kStringType = 1;

std::string ReadOption(model::App& app, std::string_view key, std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), model::kOptionsSection, key,
                               default_value);
}

void SaveProtectedPage(model::App& app, std::string_view page) {
  services::WriteSetting(app.system, app.SettingsApplication(), model::kOptionsSection,
                         kHomePageSetting, page);
}

// An absent or empty value counts as blank: an empty protected page would make every tick a
// first run that adopts whatever page a hijacker wrote. Nothing when the value is there but
// cannot be read: taken for blank, it could be adopted as the protected page.
std::optional<std::string> ReadStartPage(model::App& app) {
  std::string page;
  switch (services::ReadRegistryValue(app.system, machine::kHkeyCurrentUser, kStartPageKey,
                                      kStartPageValue, page)) {
    case services::RegistryRead::kRead:
      if (!page.empty())
        return page;
      [[fallthrough]];
    case services::RegistryRead::kAbsent:
      return std::string(kBlankStartPage);
    case services::RegistryRead::kUnreadable:
      break;
  }
  return std::nullopt;
}

void AskOrRestore(model::App& app) {
  if (services::SettingToBool(ReadOption(app, "optAlwaysnotifybeforerestoring", "True"))) {
    model::FrmHomePageChangedAlert& alert = *app.frmHomePageChangedAlert;
    alert.lblHomePageInfo.SetCaption(HomePageChangedText(
        app.SettingsApplication(), app.shields.strSavedHomePage, app.shields.strCurrentHomePage));
    alert.Show(true);
  } else if (services::SettingToBool(
                 ReadOption(app, "optRestoredefaultwithoutnotification", "False"))) {
    RestoreHomePage(app);
  }
}

void CheckHomePage(model::App& app) {
  std::optional<std::string> page = ReadStartPage(app);
  if (!page)
    return;
  model::ShieldState& shields = app.shields;
  shields.strCurrentHomePage = std::move(*page);
  shields.strSavedHomePage = ReadOption(app, kHomePageSetting, "");
  if (shields.strSavedHomePage.empty()) {
    shields.strSavedHomePage = shields.strCurrentHomePage;
    SaveProtectedPage(app, shields.strSavedHomePage);
    return;
  }
  if (shields.strSavedHomePage != shields.strCurrentHomePage)
    AskOrRestore(app);
}

}  // namespace

std::string HomePageChangedText(std::string_view product_name, std::string_view saved_page,
                                std::string_view current_page) {
  std::string text(product_name);
  text += " has detected that your Homepage has been changed.\r\n\r\n";
  text += "Click YES to keep your homepage as:\r\n";
  text += saved_page;
  text += "\r\n\r\nClick No to change your homepage to:\r\n";
  text += current_page;
  return text;
}

void tmrCheckHomePage_Timer(model::App& app) {
  if (!ShieldTickMayStart(app))
    return;
  model::ShieldState& shields = app.shields;
  if (++shields.intHomePageTicks >= 3) {
    shields.intHomePageTicks = 0;
    RunMemoryShield(app);
    if (!ShieldTickMayStart(app))
      return;
  }

  ShieldTickScope tick(app);
  model::ApplyTimerSettings(app, false);
  app.frmMain.tmrCheckHomePage.SetEnabled(false);
  if (services::SettingToBool(ReadOption(app, "optIEHomePageSheildOn", "True")))
    CheckHomePage(app);
  model::ApplyTimerSettings(app, true);
}

// Both do nothing before a tick has read the pages (an alert opened from the debug menu):
// an empty page written back would make the next tick adopt whatever page it finds.
void RestoreHomePage(model::App& app) {
  if (app.shields.strSavedHomePage.empty())
    return;
  SaveProtectedPage(app, app.shields.strSavedHomePage);
  {
    services::ScopedKey key(app.machine.registry());
    key.Create(machine::kHkeyCurrentUser, kStartPageKey);
  }
  services::SetCurrentUserValue(app.system, kStartPageKey, kStartPageValue,
                                app.shields.strSavedHomePage, kStringType);
}

void AcceptNewHomePage(model::App& app) {
  if (app.shields.strCurrentHomePage.empty())
    return;
  SaveProtectedPage(app, app.shields.strCurrentHomePage);
}

void InstallHomePageShield(model::App& app) {
  app.frmMain.tmrCheckHomePage.on_timer = [&app] { tmrCheckHomePage_Timer(app); };
}

}  // namespace engine
