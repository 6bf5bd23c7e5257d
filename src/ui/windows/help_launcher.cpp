#include "ui/windows/help_launcher.h"

#include "model/app.h"

namespace ui {

void InstallHelpLauncher(model::App& /*app*/) {}

}  // namespace ui
