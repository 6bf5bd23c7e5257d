#include "ui/main/menus.h"

#include "model/app.h"

namespace ui {

void InstallMenus(model::App& /*app*/) {}

}  // namespace ui
