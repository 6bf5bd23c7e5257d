#include "ui/main/main_window_wiring.h"

#include <exception>

#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "engine/definitions/status_labels.h"
#include "engine/scan/drive_list.h"
#include "engine/shields/home_page_shield.h"
#include "engine/shields/memory_shield.h"
#include "model/timer_group.h"
#include "removal/removal_hooks.h"
#include "removal/removal_session.h"
#include "removal/result_list_actions.h"
#include "removal/scan_report.h"
#include "ui/main/browser_events.h"
#include "ui/main/check_propagation.h"
#include "ui/main/data_submission.h"
#include "ui/main/layout.h"
#include "ui/main/live_update_run.h"
#include "ui/main/menus.h"
#include "ui/main/options_page.h"
#include "ui/main/pages.h"
#include "ui/main/scan_controls.h"
#include "ui/main/scheduler.h"
#include "ui/main/send_to_tray.h"
#include "ui/main/shutdown.h"
#include "ui/windows/branding.h"
#include "ui/windows/browser_window.h"
#include "ui/windows/delete_failed.h"
#include "ui/windows/download_window.h"
#include "ui/windows/help_launcher.h"
#include "ui/windows/home_page_alert.h"
#include "ui/windows/memory_alert.h"
#include "ui/windows/report_viewer.h"
#include "ui/windows/skin.h"
#include "ui/windows/splash_about.h"
#include "ui/windows/tray_menu.h"
#include "ui/windows/update_notification.h"

namespace ui {

namespace {

// Runs one step of the start-up; one that fails is passed over. Ending the program is no failure.
template <typename Step>
void SkipIfFailing(Step&& step) {
  try {
    step();
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    // The start-up goes on with its next step.
  }
}

}  // namespace

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
}

void PrepareDefinitionsAndDrives(model::App& app) {
  engine::InstallDownloadedDefinitions(app);
  app.definitions.lngTotalDefinitions = engine::CountDefinitions(app);
  engine::LoadIgnoreList(app);
  engine::ListDrives(app);
}

void StartMainWindow(model::App& app) {
  model::FrmMain& main = app.frmMain;
  // Until the main window's own unload step is installed, closing it must still end the program.
  if (!main.on_unload)
    main.on_unload = [&app](int&) { app.runtime.EndProgram(); };
  SkipIfFailing([&] { InitBranding(app); });
  main.Load();
  SkipIfFailing([&] { PrepareDefinitionsAndDrives(app); });
  SkipIfFailing([&] { ApplySkin(app, main); });
  SkipIfFailing([&] {
    CloneLabelsAsSkinLabels(main, {&main.SkinLabel1, &main.SkinLabel2, &main.SkinLabel3,
                                   &main.SkinLabel4, &main.SkinLabel5, &main.SkinLabel6});
  });
  SkipIfFailing([&] { engine::RefreshStatusLabels(app); });
  SkipIfFailing([&] { model::ApplyTimerSettings(app, true); });
  main.Show();
}

}  // namespace ui
