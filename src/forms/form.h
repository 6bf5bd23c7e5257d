#pragma once
// A window: its controls (registered by name so a view can walk them), its own properties, its
// lifecycle and its event handlers. Window models derive from Form, hold their controls as
// members and override the Form_* handlers they need.
//
// Lifecycle: not loaded -> Load (Form_Load runs) -> shown/hidden -> Unload (Form_QueryUnload,
// Form_Unload; timers stop). The design values are what the controls and the form hold when
// the form first loads (what the model's constructor set); every later load starts from them
// again, while member variables of the model keep their values. The main window never loads
// again after its unload: further loads and shows do nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/control.h"
#include "services/system.h"

namespace forms {

class ControlArrayBase;
class Runtime;
class Timer;

using services::WindowHandle;

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// Why a form is being unloaded, as Form_QueryUnload is told.
enum class UnloadMode {
  kFormControlMenu = 0,  // the user closed it (close box)
  kFormCode = 1,         // code unloaded it
  kAppWindows = 2,       // the session ends
  kAppTaskManager = 3,
};

enum class FormRole { kAuxiliary, kMain };

class Form {
 public:
  Form(Runtime& runtime, std::string name, FormRole role = FormRole::kAuxiliary);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Runtime& runtime() const { return runtime_; }
  const std::string& name() const { return name_; }
  bool IsMainWindow() const { return role_ == FormRole::kMain; }
  // Never 0; unique within the runtime.
  WindowHandle hWnd() const { return handle_; }

  // Controls in the order they were made, including loaded control-array elements.
  const std::vector<Control*>& Controls() const { return controls_; }
  // nullptr when there is none.
  Control* FindControl(std::string_view name, int index = Control::kNoIndex) const;

  // Lifecycle.
  bool Loaded() const { return loaded_; }
  // True once the form has been unloaded (the main window is inert from then on).
  bool EverUnloaded() const { return ever_unloaded_; }
  // Loads the form when it is not loaded. Does nothing for the main window after its unload,
  // or after the program ended.
  void Load();
  // Asks Form_QueryUnload, then runs Form_Unload, then takes the form down. False when the form
  // was not loaded or a handler cancelled.
  bool Unload(UnloadMode mode = UnloadMode::kFormCode);
  // Loads when needed and makes the form visible; modal runs a nested message loop until the
  // form is hidden or unloaded (or the program ends).
  void Show(bool modal = false);
  // Loads when needed and hides the form.
  void Hide();
  // True while the form runs its own modal loop.
  bool ShownModal() const { return modal_depth_ > 0; }

  // Properties. These do not load the form (FormInstance does that), except SetVisible, which
  // is Show or Hide.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  WindowState GetWindowState() const { return window_state_; }
  // Runs Form_Resize when the state changes while loaded. Back at normal size the window takes
  // the place and size it last had there.
  void SetWindowState(WindowState state);
  // The state a minimised window comes back in: the last one it had other than minimised.
  WindowState RestoreState() const { return restore_state_; }
  // Outer geometry in twips. A size change while loaded runs Form_Resize.
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);
  void Move(double left, double top, double width, double height);
  // The size the window has at normal size, and its place there: a minimised or maximised
  // window comes back to it; a window at normal size moves at once.
  double NormalWidth() const { return normal_bounds_.width; }
  double NormalHeight() const { return normal_bounds_.height; }
  void PlaceNormal(double left, double top);
  // The icon's resource name for the view ("" = the program's own).
  const std::string& Icon() const { return icon_; }
  void SetIcon(std::string icon);
  bool TopMost() const { return top_most_; }
  void SetTopMost(bool top_most);

  // User actions from the view and the tests (refused while another window is modal).
  // The close box: Unload with kFormControlMenu.
  bool UserClose();
  bool UserMouseDown(const MouseEvent& event);
  bool UserMouseUp(const MouseEvent& event);
  bool UserMouseMove(const MouseEvent& event);
  // The user resizes or moves the window, or minimises, maximises or restores it.
  bool UserResize(double width, double height);
  bool UserMove(double left, double top);
  bool UserSetWindowState(WindowState state);
  // A mouse message posted to the window (the tray icon's callback): delivered even while the
  // form is hidden or another window is modal.
  void PostMouseMove(const MouseEvent& event);
  // The window was painted on screen: runs Form_Paint, also while another window is modal.
  void Painted();

  // The view's hook: runs after any property of the form changed (also load and unload).
  std::function<void(Form&)> observer;

 protected:
  // Handlers for the window models.
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Resize() {}
  virtual void Form_Paint() {}
  virtual void Form_QueryUnload(int& cancel, UnloadMode mode) {}
  virtual void Form_Unload(int& cancel) {}
  virtual void Form_MouseDown(const MouseEvent& event) {}
  virtual void Form_MouseUp(const MouseEvent& event) {}
  virtual void Form_MouseMove(const MouseEvent& event) {}

 private:
  friend class Control;
  friend class ControlArrayBase;
  friend class Runtime;

  void Register(Control& control);
  void Unregister(Control& control);
  void Changed();
  void TimersChanged();
  void Resized();
  bool RunUserAction(std::string_view what, const std::function<void()>& action);

  Runtime& runtime_;
  std::string name_;
  FormRole role_;
  WindowHandle handle_;
  std::vector<Control*> controls_;
  std::vector<ControlArrayBase*> arrays_;

  bool loaded_ = false;
  bool ever_loaded_ = false;
  bool ever_unloaded_ = false;
  bool unloading_ = false;
  bool shown_since_load_ = false;
  int modal_depth_ = 0;

  bool visible_ = false;
  std::string caption_;
  WindowState window_state_ = WindowState::kNormal;
  WindowState restore_state_ = WindowState::kNormal;
  // Where the window was at normal size: a maximised window goes back there.
  struct Bounds {
    double left = 0, top = 0, width = 0, height = 0;
  };
  Bounds normal_bounds_{0, 0, 4800, 3600};
  double left_ = 0;
  double top_ = 0;
  double width_ = 4800;
  double height_ = 3600;
  std::string icon_;
  bool top_most_ = false;

  struct Design {
    std::string caption;
    WindowState window_state = WindowState::kNormal;
    double left = 0, top = 0, width = 0, height = 0;
    std::string icon;
  };
  Design design_;
};

}  // namespace forms
