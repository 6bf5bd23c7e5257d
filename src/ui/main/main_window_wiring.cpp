#include "ui/main/main_window_wiring.h"

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/scan/drive_list.h"
#include "engine/shields/memory_shield.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "removal/result_list_actions.h"
#include "removal/scan_report.h"
#include "ui/main/check_propagation.h"
#include "ui/main/scan_controls.h"
#include "ui/windows/delete_failed.h"
#include "ui/windows/memory_alert.h"
#include "ui/windows/report_viewer.h"

namespace ui {

void InstallWindowHandlers(model::App& app, services::Clipboard& clipboard) {
  InstallScanControls(app);
  removal::InstallRemovalHooks(app);
  removal::InstallRemovalSession(app);
  removal::InstallResultListActions(app);
  removal::InstallScanReport(app);
  InstallCheckPropagation(app);
  InstallReportViewer(app);
  InstallDeleteFailed(app, clipboard);
  engine::InstallMemoryShield(app);
  InstallMemoryAlert(app);
}

void PrepareDefinitionsAndDrives(model::App& app) {
  engine::InstallDownloadedDefinitions(app);
  app.definitions.lngTotalDefinitions = engine::CountDefinitions(app);
  engine::LoadIgnoreList(app);
  engine::ListDrives(app);
}

}  // namespace ui
