#include "view/qt_tray.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "view/qt_text.h"
#include "view/screen.h"

namespace view {

std::optional<int> TrayMessageFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return model::kTrayLeftButtonDown;
    case QSystemTrayIcon::DoubleClick:
      return model::kTrayLeftButtonDoubleClick;
    case QSystemTrayIcon::Context:
      return model::kTrayRightButtonUp;
    default:
      return std::nullopt;
  }
}

QtTrayHost::QtTrayHost(model::ClsTray& tray, Screen& screen) : tray_(tray), screen_(screen) {
  tray_.SetHost(this);
}

QtTrayHost::~QtTrayHost() {
  tray_.SetHost(nullptr);
}

QSystemTrayIcon* QtTrayHost::IconOf(services::WindowHandle window) const {
  auto it = icons_.find(window);
  return it == icons_.end() ? nullptr : it->second.get();
}

void QtTrayHost::AddIcon(services::WindowHandle window, const std::string& icon,
                         const std::string& tip) {
  DeleteIcon(window);
  auto tray_icon = std::make_unique<QSystemTrayIcon>(screen_.WindowIcon(icon), this);
  tray_icon->setToolTip(ToQString(tip));
  connect(tray_icon.get(), &QSystemTrayIcon::activated, this,
          [this, window](QSystemTrayIcon::ActivationReason reason) {
            if (std::optional<int> message = TrayMessageFor(reason))
              tray_.TrayMouseMessage(window, *message);
          });
  if (QSystemTrayIcon::isSystemTrayAvailable())
    tray_icon->show();
  icons_[window] = std::move(tray_icon);
}

void QtTrayHost::ChangeTip(services::WindowHandle window, const std::string& tip) {
  if (QSystemTrayIcon* icon = IconOf(window))
    icon->setToolTip(ToQString(tip));
}

void QtTrayHost::DeleteIcon(services::WindowHandle window) {
  auto it = icons_.find(window);
  if (it == icons_.end())
    return;
  // The icon may be the one whose click is being handled: it goes once that is over, or with
  // this host.
  QSystemTrayIcon* icon = it->second.release();
  icons_.erase(it);
  icon->hide();
  icon->disconnect(this);
  icon->deleteLater();
}

bool QtTrayHost::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

model::DesktopMetrics CurrentDesktop() {
  model::DesktopMetrics desktop;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen)
    return desktop;
  const QRect whole = screen->geometry();
  const QRect work = screen->availableGeometry();
  desktop.screen_width = whole.width();
  desktop.screen_height = whole.height();
  desktop.taskbar_height = std::max(0, whole.bottom() - work.bottom());
  return desktop;
}

}  // namespace view
