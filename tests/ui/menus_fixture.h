#pragma once
// The main window shown with only the menus, the tray callback, the tray menu and the help
// launcher installed, a recording tray, and an opener that records what the desktop is asked to
// open (or the real one, running a given command). Closing the main window ends the program, as
// the start-up makes it.

#include <memory>

#include "machine/desktop_opener.h"
#include "support/app_fixture.h"
#include "support/recording_tray_host.h"
#include "ui/main/menus.h"
#include "ui/main/send_to_tray.h"
#include "ui/windows/help_launcher.h"
#include "ui/windows/tray_menu.h"

namespace hg_test {

class MenusFixture {
 public:
  explicit MenusFixture(const std::function<void(TempMachine&)>& prepare = {},
                        const char* opener_command = nullptr)
      : h(prepare, TestVersionInfo(), Parts(opener, opener_command)) {
    model::App& app = h.app();
    ui::InstallMenus(app);
    ui::InstallSendToTray(app);
    ui::InstallTrayMenu(app);
    ui::InstallHelpLauncher(app);
    app.objTray.SetHost(&tray);
    h.main().SetCaption("Hearthguard");
    h.main().on_unload = [&app](int&) { app.runtime.EndProgram(); };
    h.main().Show();
  }

  model::App& app() { return h.app(); }
  model::FrmMain& main() { return h.main(); }

  RecordingTrayHost tray;
  machine::RecordingOpener* opener = nullptr;  // none when the real opener runs
  AppFixture h;

 private:
  static machine::MachineParts Parts(machine::RecordingOpener*& opener,
                                     const char* opener_command) {
    machine::MachineParts parts;
    if (opener_command) {
      parts.opener = std::make_unique<machine::HostOpener>(opener_command);
      return parts;
    }
    parts.opener = std::make_unique<machine::RecordingOpener>();
    opener = static_cast<machine::RecordingOpener*>(parts.opener.get());
    return parts;
  }
};

}  // namespace hg_test
