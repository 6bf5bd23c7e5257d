#include "model/tray.h"

#include "model/window.h"

namespace model {

namespace {

std::string FitTip(std::string_view tip) {
  return std::string(tip.substr(0, kTrayTipMaxLength));
}

}  // namespace

void ClsTray::SetHost(TrayHost* host) {
  host_ = host;
  if (!host_)
    return;
  for (const auto& [handle, icon] : icons_)
    host_->AddIcon(handle, icon.window->Icon(), icon.tip);
}

void ClsTray::ShowIcon(Window& window) {
  const services::WindowHandle handle = window.hWnd();
  Icon& icon = icons_[handle];
  icon.window = &window;
  icon.tip = FitTip(window.Caption());
  if (host_)
    host_->AddIcon(handle, window.Icon(), icon.tip);
}

void ClsTray::RemoveIcon(const Window& window) {
  if (icons_.erase(window.hWnd()) > 0 && host_)
    host_->DeleteIcon(window.hWnd());
}

void ClsTray::ChangeToolTip(const Window& window, std::string_view new_tip) {
  auto it = icons_.find(window.hWnd());
  if (it == icons_.end())
    return;
  it->second.tip = FitTip(new_tip);
  if (host_)
    host_->ChangeTip(window.hWnd(), it->second.tip);
}

bool ClsTray::bRunningInTray(const Window& window) const {
  return icons_.contains(window.hWnd());
}

void ClsTray::TrayMouseMessage(services::WindowHandle window, int message) {
  auto it = icons_.find(window);
  if (it == icons_.end())
    return;
  Window* owner = it->second.window;
  runtime_.Dispatch([owner, message] {
    if (owner->on_tray_message)
      owner->on_tray_message(message);
  });
}

}  // namespace model
