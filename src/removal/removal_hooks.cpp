#include "removal/removal_hooks.h"

#include "model/app.h"
#include "removal/kill_process.h"
#include "removal/quarantine_log.h"

namespace removal {

void InstallRemovalHooks(model::App& app) {
  app.hooks.LogQuarantinedRegistryItem = [&app](std::string_view key_text,
                                                std::string_view value_text) {
    LogQuarantinedRegistryItem(app, key_text, value_text);
  };
  app.hooks.KillProcessByExeName = [&app](std::string_view exe_name) {
    return KillProcessByExeName(app, exe_name);
  };
}

}  // namespace removal
