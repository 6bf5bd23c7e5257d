#include "model/taskbar_button.h"

#include "model/app.h"

namespace model {

void UpdateTaskbarButton(App& app) {
  const FrmMain& main = app.frmMain;
  const bool in_background = main.GetWindowState() != forms::WindowState::kNormal;
  app.runtime.SetTaskVisible(!(in_background && app.objTray.bRunningInTray(main)));
}

}  // namespace model
