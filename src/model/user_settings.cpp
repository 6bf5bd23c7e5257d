#include "model/user_settings.h"

#include "model/app.h"
#include "model/timer_group.h"
#include "services/settings_store.h"

namespace model {

std::string ReadUserSetting(App& app, std::string_view section, std::string_view key,
                            std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), section, key, default_value);
}

void WriteUserSetting(App& app, std::string_view section, std::string_view key,
                      std::string_view value) {
  services::WriteSetting(app.system, app.SettingsApplication(), section, key, value);
}

void SaveStoppedRunState(App& app) {
  WriteUserSetting(app, kOptionsSection, "RESTART", "False");
  WriteUserSetting(app, kOptionsSection, "STATUS", "STOPPED");
}

}  // namespace model
