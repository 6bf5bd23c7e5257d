#include "ui/main/browser_events.h"

#include "model/app.h"

namespace ui {

void InstallBrowserEvents(model::App& /*app*/) {}

}  // namespace ui
