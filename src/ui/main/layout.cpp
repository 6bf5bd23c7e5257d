#include "ui/main/layout.h"

#include "model/app.h"

namespace ui {

void InstallLayout(model::App& /*app*/) {}

}  // namespace ui
