#include "ui/main/menus.h"

#include <string>
#include <string_view>

#include "engine/definitions/definition_reader.h"
#include "model/app.h"
#include "removal/quarantine_store.h"
#include "services/file_paths.h"
#include "services/prompts.h"
#include "services/shell_open.h"
#include "ui/main/live_update_run.h"
#include "ui/main/pages.h"
#include "ui/main/send_to_tray.h"

namespace ui {

namespace {

// The close request, then the unload step, which ends the program.
void CloseMainWindow(model::App& app) {
  app.frmMain.Unload();
}

// Opens it with the desktop's program for it; where the desktop has none, says where it is on
// this computer, so that the user can go there.
void OpenOrTellWhere(model::App& app, const std::string& windows_path, std::string_view what) {
  if (services::ShellOpen(app.system, windows_path))
    return;
  const std::string host_path =
      app.machine.files().ResolveHostPath(windows_path).value_or(windows_path);
  app.runtime.MsgBox(std::string(what) +
                         " could not be opened on this desktop. You will find it "
                         "here:\n\n" +
                         host_path,
                     services::vbExclamation, "");
}

void ViewQuarantine(model::App& app) {
  const std::string folder = removal::QuarantineFolderPath(app.system);
  app.machine.files().CreateFolder(folder);
  OpenOrTellWhere(app, folder, "The quarantine folder");
}

void ViewExclusions(model::App& app) {
  const std::string file = engine::ProgramFolderFile(app.system, engine::kIgnoreListFile);
  if (services::FileExists(app.system, file)) {
    OpenOrTellWhere(app, file, "The exclusion list");
    return;
  }
  app.runtime.MsgBox(kNoExclusionFileText, services::vbOKOnly, kNoExclusionFileTitle);
}

// Connects every item of a menu to its handler with the item's index.
void WireMenu(model::App& app, forms::ControlArray<forms::MenuItem>& items,
              void (*handler)(model::App&, int16_t)) {
  items.SetWiring([&app, handler](forms::MenuItem& item) {
    const auto index = static_cast<int16_t>(item.index());
    item.on_click = [&app, handler, index] { handler(app, index); };
  });
}

}  // namespace

void mnuFileItem_Click(model::App& app, int16_t index) {
  switch (index) {
    case 0:
      cmdScan_Click(app);
      break;
    case 2:
      cmdLog_Click(app);
      break;
    case 4:
      cmdUpdate_Click(app);
      break;
    case 6:
      Command5_Click(app);
      break;
    case 8:
      CloseMainWindow(app);
      break;
    default:
      break;
  }
}

void mnuSettingsItem_Click(model::App& app, int16_t index) {
  ShowOptionsPage(app, index);
}

void mnuQuarItem_Click(model::App& app, int16_t index) {
  if (index == 0)
    ViewQuarantine(app);
  else if (index == 1)
    ViewExclusions(app);
}

void mnuHelpItem_Click(model::App& app, int16_t /*index*/) {
  // Its load does the work; having no size it is never shown, so it cannot flash a frame.
  app.Form8.Get();
  app.runtime.Yield();
  app.Form8.Unload();
}

void mnuAboutItem_Click(model::App& app, int16_t /*index*/) {
  app.frmAbout->Show();
}

void mnuDebugItem_Click(model::App& app, int16_t index) {
  switch (index) {
    case 0:
      app.frmHomePageChangedAlert->Show();
      break;
    case 1:
      app.frmSignatureUpdated->Show();
      break;
    case 2:
      app.frmSpywareFoundAlert->Show();
      break;
    default:
      break;
  }
}

void cmdWebsite_Click(model::App& app) {
  app.windows.strWebsiteMode = "Website";
  app.frmWebsite->Show();
}

void lblHide_Click(model::App& app) {
  CloseMainWindow(app);
}

void lblHide_MouseMove(model::App& app) {
  app.frmMain.lblHide.SetFontItalic(true);
}

void InstallMenus(model::App& app) {
  model::FrmMain& main = app.frmMain;
  WireMenu(app, main.mnuFileItem, mnuFileItem_Click);
  WireMenu(app, main.mnuSettingsItem, mnuSettingsItem_Click);
  WireMenu(app, main.mnuQuarItem, mnuQuarItem_Click);
  WireMenu(app, main.mnuHelpItem, mnuHelpItem_Click);
  WireMenu(app, main.mnuAboutItem, mnuAboutItem_Click);
  WireMenu(app, main.mnuDebugItem, mnuDebugItem_Click);
  main.cmdWebsite.on_click = [&app] { cmdWebsite_Click(app); };
  main.lblHide.on_click = [&app] { lblHide_Click(app); };
  main.lblHide.on_mouse_move = [&app](const forms::MouseEvent&) { lblHide_MouseMove(app); };
}

}  // namespace ui
