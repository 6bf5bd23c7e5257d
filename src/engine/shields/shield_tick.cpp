#include "engine/shields/shield_tick.h"

#include "model/app.h"
#include "model/scan_running.h"

namespace engine {

bool ShieldTickMayStart(const model::App& app) {
  return !app.shields.bShieldTickRunning && !model::IsScanRunning(app) &&
         !app.scan.bRemovalRunning && !app.scan.bLiveUpdateRunning;
}

ShieldTickScope::ShieldTickScope(model::App& app) : app_(app) {
  app_.shields.bShieldTickRunning = true;
}

ShieldTickScope::~ShieldTickScope() {
  app_.shields.bShieldTickRunning = false;
}

}  // namespace engine
