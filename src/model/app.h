#pragma once
// The application object: one per process, passed by reference, so that a test can build
// several. It holds the machine and the form runtime it runs on, owns the services' state,
// the branding values, each subsystem's globals, the hooks the upper layers fill, and every
// window model (constructed, not loaded).

#include <memory>
#include <string>

#include "forms/forms.h"
#include "machine/machine.h"
#include "model/alerts.h"
#include "model/branding.h"
#include "model/browser_windows.h"
#include "model/definitions_state.h"
#include "model/download_window.h"
#include "model/frm_delete.h"
#include "model/frm_main.h"
#include "model/frm_report.h"
#include "model/hooks.h"
#include "model/removal_state.h"
#include "model/scan_state.h"
#include "model/shield_state.h"
#include "model/skin_control.h"
#include "model/sliding_windows.h"
#include "model/splash_about.h"
#include "model/tray.h"
#include "model/windows_state.h"
#include "services/system.h"

namespace model {

struct App {
  // Connects the services to the runtime (prompts, windows, yields) and the quarantine log to
  // the hooks, and installs the main window's own timer ticks.
  App(machine::Machine& machine, forms::Runtime& runtime);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The application name of the per-user settings: the product name of the executable's
  // version information (the same text as branding.strProductName once that is filled).
  const std::string& SettingsApplication() const { return machine.version().product_name; }
  // The product name that titles message boxes: the branding value, or the runtime's before
  // the branding is filled.
  const std::string& ProductName() const {
    return branding.strProductName.empty() ? runtime.ProductName() : branding.strProductName;
  }

  machine::Machine& machine;
  forms::Runtime& runtime;
  services::System system;

  Branding branding;
  ScanState scan;
  DefinitionsState definitions;
  RemovalState removal;
  ShieldState shields;
  SkinState skin;
  WindowsState windows;
  Hooks hooks;
  // The one tray object; every window's tray icon goes through it.
  ClsTray objTray{runtime};

  // The main window, reached directly: it is loaded once by the start-up and never again.
  FrmMain frmMain;
  // Auxiliary windows: touching one through -> loads it first.
  forms::FormInstance<FrmSplash> frmSplash;
  forms::FormInstance<FrmAbout> frmAbout;
  forms::FormInstance<FrmDelete> frmDelete;
  forms::FormInstance<FrmReport> frmReport;
  forms::FormInstance<FrmDownload> frmDownload;
  forms::FormInstance<FrmSignatureUpdated> frmSignatureUpdated;
  forms::FormInstance<FrmSpywareFoundAlert> frmSpywareFoundAlert;
  forms::FormInstance<FrmHomePageChangedAlert> frmHomePageChangedAlert;
  forms::FormInstance<FrmMenuPopUp> frmMenuPopUp;
  forms::FormInstance<FrmWebsite> frmWebsite;
  forms::FormInstance<model::Form8> Form8;
  forms::FormInstance<FrmHidden> frmHidden;
};

// Builds an application object on a machine and a runtime (for instance a headless one), with
// every window model constructed and none loaded.
std::unique_ptr<App> MakeApp(machine::Machine& machine, forms::Runtime& runtime);

}  // namespace model
