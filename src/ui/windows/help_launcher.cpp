#include "ui/windows/help_launcher.h"

#include <string>
#include <string_view>

#include "engine/definitions/definition_reader.h"
#include "model/app.h"
#include "services/file_paths.h"
#include "services/machine_settings.h"
#include "services/shell_open.h"

namespace ui {

namespace {

// Opens the file from the program folder when it is there; whether a viewer then shows it is
// not known, nor reported.
bool OpenProgramFile(model::App& app, std::string_view name) {
  const std::string path = engine::ProgramFolderFile(app.system, name);
  if (!services::FileExists(app.system, path))
    return false;
  services::ShellOpen(app.system, path);
  return true;
}

}  // namespace

void Form8_Form_Load(model::App& app) {
  model::Form8& launcher = app.Form8.Peek();
  launcher.SetHeight(0);
  launcher.SetWidth(0);
  launcher.SetVisible(false);
  if (OpenProgramFile(app, "Help.chm"))
    services::SaveSettingHKLM(app.system, app.SettingsApplication(), "Settings", "showHelp", "0");
}

void OpenHelpFile(model::App& app) {
  OpenProgramFile(app, "mshelp.chm");
}

void InstallHelpLauncher(model::App& app) {
  app.Form8.Peek().on_load = [&app] { Form8_Form_Load(app); };
}

}  // namespace ui
