#include "ui/windows/browser_window.h"

#include "model/app.h"

namespace ui {

void InstallBrowserWindow(model::App& /*app*/) {}

}  // namespace ui
