#include "ui/main/live_update_tray.h"

#include "model/app.h"

namespace ui {

void ShowDownloadTrayIcon(model::App& app) {
  app.objTray.ShowIcon(app.frmDownload.Peek());
}

void RemoveDownloadTrayIcon(model::App& app) {
  app.objTray.RemoveIcon(app.frmDownload.Peek());
}

void RenewMainTrayIcon(model::App& app) {
  app.objTray.RemoveIcon(app.frmMain);
  app.objTray.ShowIcon(app.frmMain);
}

}  // namespace ui
