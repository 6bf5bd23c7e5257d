#include "ui/windows/tray_menu.h"

#include "model/app.h"

namespace ui {

void InstallTrayMenu(model::App& /*app*/) {}

}  // namespace ui
