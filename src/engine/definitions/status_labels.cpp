#include "engine/definitions/status_labels.h"

#include "engine/definitions/definitions_date.h"
#include "machine/machine.h"
#include "machine/user_number_format.h"
#include "model/app.h"
#include "services/settings_store.h"

namespace engine {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

std::string ReadStatusSetting(model::App& app, std::string_view key,
                              std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), kSettingsSection, key,
                               default_value);
}

}  // namespace

void RefreshStatusLabels(model::App& app) {
  model::FrmMain& window = app.frmMain;
  const machine::VersionInfo& version = app.machine.version();
  window.lblDefCount.SetCaption(machine::FormatGroupedForUser(app.definitions.lngTotalDefinitions));
  window.lblVersion.SetCaption(std::to_string(version.major) + "." + std::to_string(version.minor));
  window.lblDefVersion.SetCaption(ReadDefinitionsDate(app) + " PST");
  window.lblDefRemoved.SetCaption(ReadStatusSetting(app, "lblDefRemoved", "0"));
  window.lblLastScan.SetCaption(ReadStatusSetting(app, "lblLastScan", "Never"));
  window.lblLastFullScan.SetCaption(ReadStatusSetting(app, "lblLastFullScan", "Never"));
}

void RefreshLastUpdateLabel(model::App& app) {
  app.frmMain.lblLastUpdate.SetCaption("Signatures Last Updated On " + ReadDefinitionsDate(app) +
                                       " PST");
}

}  // namespace engine
