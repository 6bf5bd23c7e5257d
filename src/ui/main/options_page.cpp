#include "ui/main/options_page.h"

#include "model/app.h"

namespace ui {

void LoadOptionSettings(model::App& /*app*/) {}

void InstallOptionsPage(model::App& /*app*/) {}

}  // namespace ui
