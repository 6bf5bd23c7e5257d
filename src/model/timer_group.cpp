#include "model/timer_group.h"

#include <optional>
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

// A truth value: "True" or "False" (letter case and blanks around ignored), or a number where
// 0 is false. Nothing for any other text.
std::optional<bool> TruthValue(std::string_view text) {
  const std::string trimmed = machine::TrimBlanks(text);
  if (machine::EqualsIgnoreCase(trimmed, "True"))
    return true;
  if (machine::EqualsIgnoreCase(trimmed, "False"))
    return false;
  double number = 0;
  if (machine::ParseNumber(trimmed, number))
    return number != 0;
  return std::nullopt;
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
  return TruthValue(ReadOption(app, key, "True")).value_or(true);
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
