#include "ui/main/main_window_wiring.h"

#include "engine/shields/home_page_shield.h"
#include "engine/shields/memory_shield.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "removal/result_list_actions.h"
#include "removal/scan_report.h"
#include "ui/main/browser_events.h"
#include "ui/main/check_propagation.h"
#include "ui/main/data_submission.h"
#include "ui/main/form_load.h"
#include "ui/main/layout.h"
#include "ui/main/live_update_run.h"
#include "ui/main/menus.h"
#include "ui/main/options_page.h"
#include "ui/main/pages.h"
#include "ui/main/scan_controls.h"
#include "ui/main/scheduler.h"
#include "ui/main/send_to_tray.h"
#include "ui/main/shutdown.h"
#include "ui/windows/browser_window.h"
#include "ui/windows/delete_failed.h"
#include "ui/windows/download_window.h"
#include "ui/windows/help_launcher.h"
#include "ui/windows/home_page_alert.h"
#include "ui/windows/memory_alert.h"
#include "ui/windows/report_viewer.h"
#include "ui/windows/splash_about.h"
#include "ui/windows/tray_menu.h"
#include "ui/windows/update_notification.h"

namespace ui {

void InstallWindowHandlers(model::App& app, services::Clipboard& clipboard) {
  InstallScanControls(app);
  removal::InstallRemovalHooks(app);
  removal::InstallRemovalSession(app);
  removal::InstallResultListActions(app);
  removal::InstallScanReport(app);
  InstallCheckPropagation(app);
  InstallLiveUpdate(app);
  InstallReportViewer(app);
  InstallDeleteFailed(app, clipboard);
  InstallDownloadWindow(app);
  InstallUpdateNotification(app);
  engine::InstallHomePageShield(app);
  InstallHomePageAlert(app);
  engine::InstallMemoryShield(app);
  InstallMemoryAlert(app);
  InstallPages(app);
  InstallBrowserEvents(app);
  InstallOptionsPage(app);
  InstallScheduler(app);
  InstallLayout(app);
  InstallShutdown(app);
  InstallDataSubmission(app);
  InstallMenus(app);
  InstallSendToTray(app);
  InstallTrayMenu(app);
  InstallHelpLauncher(app);
  InstallBrowserWindow(app);
  InstallSplashAbout(app);
  InstallFormLoad(app);
}

void StartMainWindow(model::App& app) {
  InstallSplashAbout(app);
  InstallFormLoad(app);
  StartWithSplash(app);
  EndSplash(app);
}

}  // namespace ui
