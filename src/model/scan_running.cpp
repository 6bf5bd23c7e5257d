#include "model/scan_running.h"

#include "model/app.h"

namespace model {

bool IsScanRunning(const App& app) {
  return !app.frmMain.cmdScanNow.Enabled() && !app.frmMain.cmdScan.Enabled();
}

}  // namespace model
