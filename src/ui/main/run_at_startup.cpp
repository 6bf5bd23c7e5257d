#include "ui/main/run_at_startup.h"

#include "machine/machine.h"
#include "model/app.h"
#include "services/registry_related.h"

namespace ui {

std::string RunValueName(const model::App& app) {
  return app.machine.version().executable_name;
}

std::string RunValueData(const model::App& app) {
  std::string path = app.machine.profile().program_folder;
  if (path.empty() || path.back() != '\\')
    path += '\\';
  path += RunValueName(app);
  return "\"" + path + "\"";
}

void WriteRunValue(model::App& app) {
  services::SetRegistryValue(app.system, machine::kHkeyLocalMachine, kRunKey, RunValueName(app),
                             RunValueData(app));
}

void DeleteRunValue(model::App& app) {
  services::DeleteRegistryValue(app.system, machine::kHkeyLocalMachine, kRunKey, RunValueName(app));
}

}  // namespace ui
