#include "ui/main/scheduler.h"

#include "model/app.h"

namespace ui {

void LoadSchedule(model::App& /*app*/) {}

void InstallScheduler(model::App& /*app*/) {}

}  // namespace ui
