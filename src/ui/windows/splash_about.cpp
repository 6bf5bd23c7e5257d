#include "ui/windows/splash_about.h"

#include "model/app.h"

namespace ui {

void InstallSplashAbout(model::App& /*app*/) {}

}  // namespace ui
