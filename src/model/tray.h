#pragma once
// The tray object: puts a window's icon into the notification area of the taskbar, changes its
// tip, takes it out again. Each window keeps its own icon and its own state, so taking one
// window's icon out leaves another window's icon working. A host (the desktop's tray, or a
// recording one in tests) shows the icons and reports real clicks on them through
// TrayMouseMessage; nothing else ever reaches a window as a tray message.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "forms/runtime.h"
#include "services/system.h"

namespace model {

class Window;

// The mouse messages a click on a tray icon stands for.
inline constexpr int kTrayLeftButtonDown = 513;
inline constexpr int kTrayLeftButtonDoubleClick = 515;
inline constexpr int kTrayRightButtonUp = 517;

// The tip field holds 64 characters with its terminating zero.
inline constexpr std::size_t kTrayTipMaxLength = 63;

// Where the icons are shown. Each window has at most one icon, known by its window handle.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // `icon` is the window's icon resource name ("" = the program's own). Replaces the icon the
  // window has, if any.
  virtual void AddIcon(services::WindowHandle window, const std::string& icon,
                       const std::string& tip) = 0;
  virtual void ChangeTip(services::WindowHandle window, const std::string& tip) = 0;
  virtual void DeleteIcon(services::WindowHandle window) = 0;
  // Whether the desktop has a notification area that shows the icons.
  virtual bool Available() const = 0;
};

class ClsTray {
 public:
  explicit ClsTray(forms::Runtime& runtime) : runtime_(runtime) {}

  // The host that shows the icons from now on (nullptr: no tray); icons already in are added
  // to it.
  void SetHost(TrayHost* host);

  // Puts the window's icon in with the window's caption as tip (cut to fit).
  void ShowIcon(Window& window);
  // Takes the window's icon out; nothing happens when it is not in.
  void RemoveIcon(const Window& window);
  // Sets the tip (cut to fit) of the window's icon; does nothing while the icon is not in.
  void ChangeToolTip(const Window& window, std::string_view new_tip);
  // True while the window's icon is in the tray.
  bool bRunningInTray(const Window& window) const;
  // Whether an icon put in would be seen and clicked: a host with a notification area. Without
  // one, a window must never be hidden in favour of its icon.
  bool HasTrayArea() const { return host_ && host_->Available(); }

  // A real click on the window's icon, as its mouse message number: runs the window's
  // on_tray_message from the message loop. Ignored when the window has no icon in.
  void TrayMouseMessage(services::WindowHandle window, int message);

 private:
  struct Icon {
    Window* window = nullptr;
    std::string tip;
  };

  forms::Runtime& runtime_;
  TrayHost* host_ = nullptr;
  std::map<services::WindowHandle, Icon> icons_;
};

}  // namespace model
