#include "model/timer_group.h"

#include <string>

#include "machine/text.h"
#include "model/app.h"
#include "services/settings_store.h"

namespace model {

namespace {

std::string ReadOption(App& app, std::string_view key, std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), kOptionsSection, key,
                               default_value);
}

}  // namespace

void ApplyTimerSettings(App& app, bool on) {
  FrmMain& window = app.frmMain;
  if (on) {
    double scheduler = 0;
    const bool is_number =
        machine::ParseNumber(ReadOption(app, "chkAutomaticScanYesOrNo", "0"), scheduler);
    window.tmrScheduler.SetEnabled(is_number && scheduler != 0);
    window.tmrCheckHomePage.SetEnabled(ShieldOptionOn(app, "optIEHomePageSheildOn"));
    window.tmrMemoryInspected.SetEnabled(ShieldOptionOn(app, "optMemorySheildOn"));
    return;
  }
  window.tmrCheckHomePage.SetEnabled(false);
  window.tmrMemoryInspected.SetEnabled(false);
  window.tmrScheduler.SetEnabled(false);
  window.tmrTimeOut.SetEnabled(false);
}

bool ShieldOptionOn(App& app, std::string_view key) {
  return services::TrySettingToBool(ReadOption(app, key, "True")).value_or(true);
}

void ShowPanels(App& app, bool /*startup*/, bool /*options*/, bool /*results*/, bool /*sweep*/) {
  app.frmMain.tmrScroll.SetEnabled(false);
}

void tmrScroll_Timer(App& app) {
  app.runtime.Yield();
}

void tmrTimeOut_Timer(App& /*app*/) {}

void InstallTimerGroupTicks(App& app) {
  app.frmMain.tmrScroll.on_timer = [&app] { tmrScroll_Timer(app); };
  app.frmMain.tmrTimeOut.on_timer = [&app] { tmrTimeOut_Timer(app); };
}

}  // namespace model
