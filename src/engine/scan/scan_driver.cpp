#include "engine/scan/scan_driver.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/definitions/definition_set.h"
#include "engine/scan/cookie_stage.h"
#include "engine/scan/file_stages.h"
#include "engine/scan/inspect_memory.h"
#include "engine/scan/registry_stage.h"
#include "engine/scan/scan_progress.h"
#include "model/app.h"
#include "model/timer_group.h"
#include "services/prompts.h"
#include "services/settings_store.h"
#include "services/window_helpers.h"

namespace engine {

namespace {

// The stage marker sits this far left of the running stage's label, and a little lower.
constexpr double kMarkerLeftOffset = 250;
constexpr double kMarkerTopOffset = 11;

std::string ReadOption(model::App& app, std::string_view key, std::string_view default_value) {
  return services::ReadSetting(app.system, app.SettingsApplication(), model::kOptionsSection, key,
                               default_value);
}

// Freezes the main window's redrawing for the life of the object.
class RedrawLock {
 public:
  explicit RedrawLock(model::App& app) : app_(app) {
    services::LockWindow(app_.system, app_.frmMain.hWnd(), true);
  }
  ~RedrawLock() { services::LockWindow(app_.system, app_.frmMain.hWnd(), false); }
  RedrawLock(const RedrawLock&) = delete;
  RedrawLock& operator=(const RedrawLock&) = delete;

 private:
  model::App& app_;
};

void EnterStage(model::App& app, std::string_view percentage_caption,
                std::string_view phase_caption) {
  RedrawLock lock(app);
  app.frmMain.lblPercentageCompleted.SetCaption(std::string(percentage_caption));
  app.scan.strScanPhaseCaption = std::string(phase_caption);
}

// pb2 shows the cookies' share of all definitions once the cookie stage is done. Nothing
// changes when there are no definitions at all.
void ShowCookieShare(model::App& app) {
  const model::DefinitionsState& counts = app.definitions;
  if (counts.lngTotalDefinitions == 0)
    return;
  const float share = 100.0f * static_cast<float>(counts.lngCookieDefinitionCount) /
                      static_cast<float>(counts.lngTotalDefinitions);
  app.frmMain.pb2.SetValue(share);
}

void PlaceMarkerBeside(model::App& app, const forms::Label& label) {
  forms::Shape& marker = app.frmMain.shpCircle;
  marker.SetLeft(label.Left() - kMarkerLeftOffset);
  marker.SetTop(label.Top() + kMarkerTopOffset);
}

void RunCookieStage(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.shpCircle.SetVisible(false);
  EnterStage(app, "Inspecting Cookies...", "Detecting Cookies: ");
  ScanCookies(app, window.lngCookieFilesWalked);
  RedrawLock lock(app);
  window.pb1.SetValue(100);
  ShowCookieShare(app);
  window.lblStatus(0).SetCaption("Finished Inpecting Cookies");
}

void RunRegistryStage(model::App& app) {
  model::FrmMain& window = app.frmMain;
  {
    RedrawLock lock(app);
    window.lblPercentageCompleted.SetCaption("Scanning registry...");
    app.scan.strScanPhaseCaption = "Scanning Registry: ";
    window.pb1.SetValue(0);
    ShowCookieShare(app);
  }
  if (services::SettingToBool(ReadOption(app, "chkScanRegistry", "True"))) {
    PlaceMarkerBeside(app, window.Label4);
    ScanRegistryDefinitions(app);
  } else {
    window.lblRegistryInspected.SetCaption("Not Selected");
  }
}

void RunKnownSpywareStages(model::App& app) {
  model::FrmMain& window = app.frmMain;
  window.pbgMain.SetMax(100);
  {
    RedrawLock lock(app);
    window.lblPercentageCompleted.SetCaption("Scanning known Spyware/Adware...");
    app.scan.strScanPhaseCaption = "Scanning Known Spyware/Adware: ";
    window.pbgMain.SetValue(0);
  }
  PlaceMarkerBeside(app, window.Label5);
  ScanFileDefinitions(app);
  ScanDirectoryDefinitions(app);
}

}  // namespace

bool RunScan(model::App& app) {
  model::FrmMain& window = app.frmMain;
  // A set that is there but cannot be read ends the scan as a missing one does, but is kept.
  if (!CheckDefinitionFiles(app) || !DefinitionFilesReadable(app)) {
    app.runtime.MsgBox(kDefinitionsMissingMessage, services::vbInformation,
                       app.branding.strProductName);
    return false;
  }

  window.pbgMain.SetVisible(false);
  for (forms::ProgressBar* bar : {&window.pbgMain, &window.pb1, &window.pb2}) {
    bar->SetMax(100);
    bar->SetValue(0);
  }
  window.lngCookieFilesWalked = 0;

  if (services::SettingNumericValue(ReadOption(app, "chkScanCookies", "1")) == 1)
    RunCookieStage(app);

  if (services::SettingToBool(ReadOption(app, "chkSweepMemory", "True"))) {
    EnterStage(app, "Inspecting memory...", "Inspecting Memory: ");
    InspectMemory(app);
  } else {
    window.lblMemoryInspected.SetCaption("Not Selected");
  }

  RunRegistryStage(app);
  RunKnownSpywareStages(app);

  window.pbgMain.SetMax(100);
  // The final counts always show; the bars are filled only when the scan ran to its end; a
  // stopped scan leaves them where its stages did.
  const int16_t percent = app.scan.bStopScan ? -1 : 100;
  RefreshScanProgress(app, "Scan Complete", percent, percent);
  return true;
}

}  // namespace engine
