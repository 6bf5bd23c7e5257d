#include "ui/main/shutdown.h"

#include <charconv>
#include <string>

#include "forms/go_on.h"
#include "model/app.h"
#include "model/scan_running.h"
#include "model/timer_group.h"
#include "model/user_settings.h"
#include "services/settings_store.h"

namespace ui {

namespace {

constexpr std::string_view kSettingsSection = "Settings";

void Save(model::App& app, std::string_view section, std::string_view key, std::string_view value) {
  forms::GoOnPastFailure([&] { model::WriteUserSetting(app, section, key, value); });
}

// Twips as the shortest decimal text that reads back as the same number ("1400", "2066.25").
std::string NumberText(double value) {
  char buffer[32];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void SaveWindowLayout(model::App& app) {
  model::FrmMain& w = app.frmMain;
  const auto& columns = w.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Columns();
  for (size_t n = 1; n <= columns.size(); ++n)
    Save(app, kSettingsSection, std::string(kColumnWidthKey) + std::to_string(n),
         NumberText(columns[n - 1].width));
  // A window in the tray or minimised comes back in the state it had before: that is its state.
  const forms::WindowState state =
      w.GetWindowState() == forms::WindowState::kMinimized ? w.RestoreState() : w.GetWindowState();
  Save(app, kSettingsSection, kMaximizedKey, state == forms::WindowState::kMaximized ? "1" : "0");
}

// The other windows, in the order they go; one not loaded is passed over.
void UnloadOtherWindows(model::App& app) {
  forms::Form* const windows[] = {&app.Form8.Peek(),
                                  &app.frmAbout.Peek(),
                                  &app.frmDownload.Peek(),
                                  &app.frmHomePageChangedAlert.Peek(),
                                  &app.frmMenuPopUp.Peek(),
                                  &app.frmReport.Peek(),
                                  &app.frmSignatureUpdated.Peek(),
                                  &app.frmSpywareFoundAlert.Peek(),
                                  &app.frmHidden.Peek(),
                                  &app.frmDelete.Peek()};
  for (forms::Form* window : windows)
    forms::GoOnPastFailure([&] { window->Unload(); });
}

}  // namespace

void Form_QueryUnload(model::App& app, int& /*cancel*/, forms::UnloadMode /*mode*/) {
  forms::GoOnPastFailure([&] { model::SaveStoppedRunState(app); });
  forms::GoOnPastFailure([&] { app.objTray.RemoveIcon(app.frmMain); });
}

void Form_Unload(model::App& app, int& /*cancel*/) {
  model::FrmMain& w = app.frmMain;
  // A scan that goes on under the browser window must not start an automatic removal.
  if (model::IsScanRunning(app))
    app.scan.bStopScan = true;
  SaveWindowLayout(app);
  forms::GoOnPastFailure([&] { w.SetWindowState(forms::WindowState::kMinimized); });
  forms::GoOnPastFailure([&] { w.Hide(); });
  UnloadOtherWindows(app);

  const model::FrmWebsite& browser = app.frmWebsite.Peek();
  if (browser.Loaded() && browser.Visible()) {
    app.windows.bExitPending = true;
    return;
  }
  if (app.branding.bUseSkin)
    forms::GoOnPastFailure([&] { app.skin.objSkinHelper.Finish(); });
  app.runtime.EndProgram();
}

void InstallShutdown(model::App& app) {
  model::FrmMain& w = app.frmMain;
  w.on_query_unload = [&app](int& cancel, forms::UnloadMode mode) {
    Form_QueryUnload(app, cancel, mode);
  };
  w.on_unload = [&app](int& cancel) { Form_Unload(app, cancel); };
}

}  // namespace ui
