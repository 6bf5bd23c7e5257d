#include "ui/main/send_to_tray.h"

#include "model/app.h"

namespace ui {

void Command5_Click(model::App& /*app*/) {}

void InstallSendToTray(model::App& /*app*/) {}

}  // namespace ui
