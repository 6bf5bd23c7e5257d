#include "ui/main/shutdown.h"

#include "model/app.h"

namespace ui {

void InstallShutdown(model::App& /*app*/) {}

}  // namespace ui
