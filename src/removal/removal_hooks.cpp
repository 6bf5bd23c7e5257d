#include "removal/removal_hooks.h"

#include "model/app.h"
#include "removal/kill_process.h"

namespace removal {

void InstallRemovalHooks(model::App& app) {
  app.hooks.KillProcessByExeName = [&app](std::string_view exe_name) {
    return KillProcessByExeName(app, exe_name);
  };
}

}  // namespace removal
