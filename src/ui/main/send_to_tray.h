#pragma once
// Sending the main window to the tray and answering its tray icon.

namespace forms {
struct MouseEvent;
}

namespace model {
struct App;
}

namespace ui {

// "Send to Tray": the main window minimised and hidden, its icon in the tray with the product
// name as tip, the tray menu shown, "Minimized" = "Yes" saved. Without a tray area the window
// is only minimised and keeps its taskbar button.
void Command5_Click(model::App& app);
// A mouse move over the main window's surface: the close label upright again. Never a tray
// message.
void FrmMain_Form_MouseMove(model::App& app, const forms::MouseEvent& event);
// A real click on the main window's tray icon, while the icon is in: a left press or a right
// release shows the tray menu; a double-click restores the window and hides the menu.
void FrmMain_TrayMessage(model::App& app, int message);

void InstallSendToTray(model::App& app);

}  // namespace ui
