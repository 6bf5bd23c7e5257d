#pragma once
// The main window shown with its menus, its tray callback, the tray menu and the help launcher
// installed (nothing else), a tray that records its icons, and an opener that records what the
// desktop is asked to open. Closing the main window ends the program, as the start-up makes it.

#include <memory>
#include <string>
#include <vector>

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
  explicit MenusFixture(const std::function<void(TempMachine&)>& prepare = {})
      : h(
            [&prepare](TempMachine& temp) {
              // Live Update fails at once: nothing listens there.
              temp.profile().update_server_url = "http://127.0.0.1:1";
              if (prepare)
                prepare(temp);
            },
            TestVersionInfo(), Parts(opener)) {
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
  model::FrmMenuPopUp& menu() { return h.app().frmMenuPopUp.Peek(); }

  // What the desktop was asked to open, as Windows paths.
  std::vector<std::string> Opened() {
    std::vector<std::string> paths;
    for (const auto& host_path : opener->opened())
      paths.push_back(h.machine().files().ToWindowsPath(host_path).value_or(host_path.string()));
    return paths;
  }

  RecordingTrayHost tray;
  machine::RecordingOpener* opener = nullptr;
  AppFixture h;

 private:
  static machine::MachineParts Parts(machine::RecordingOpener*& opener) {
    machine::MachineParts parts;
    auto recording = std::make_unique<machine::RecordingOpener>();
    opener = recording.get();
    parts.opener = std::move(recording);
    return parts;
  }
};

}  // namespace hg_test
