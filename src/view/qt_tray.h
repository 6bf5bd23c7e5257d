#pragma once
// The desktop's tray: one QSystemTrayIcon per window whose icon is in, and the desktop's
// geometry for the windows that slide out of the taskbar. Where there is no tray (offscreen, a
// bare X server) the icons are made but never shown, so nothing reaches the program.

#include <QObject>
#include <QSystemTrayIcon>
#include <map>
#include <memory>
#include <optional>

#include "model/tray.h"
#include "model/windows_state.h"

namespace view {

class Screen;

// The mouse message a click on a tray icon stands for; nothing for a middle click.
std::optional<int> TrayMessageFor(QSystemTrayIcon::ActivationReason reason);

class QtTrayHost final : public QObject, public model::TrayHost {
 public:
  // Becomes `tray`'s host until destroyed.
  QtTrayHost(model::ClsTray& tray, Screen& screen);
  ~QtTrayHost() override;
  QtTrayHost(const QtTrayHost&) = delete;
  QtTrayHost& operator=(const QtTrayHost&) = delete;

  // The window's icon; nullptr when it is not in.
  QSystemTrayIcon* IconOf(services::WindowHandle window) const;

  void AddIcon(services::WindowHandle window, const std::string& icon,
               const std::string& tip) override;
  void ChangeTip(services::WindowHandle window, const std::string& tip) override;
  void DeleteIcon(services::WindowHandle window) override;
  bool Available() const override;

 private:
  model::ClsTray& tray_;
  Screen& screen_;
  std::map<services::WindowHandle, std::unique_ptr<QSystemTrayIcon>> icons_;
};

// The primary screen and the part of it its taskbar takes at the bottom.
model::DesktopMetrics CurrentDesktop();

}  // namespace view
