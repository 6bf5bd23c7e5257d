#include "forms/form.h"

#include <algorithm>
#include <utility>

#include "forms/control_array.h"
#include "forms/runtime.h"
#include "forms/timer.h"

namespace forms {

Form::Form(Runtime& runtime, std::string name, FormRole role)
    : runtime_(runtime),
      name_(std::move(name)),
      role_(role),
      handle_(runtime.RegisterForm(*this)) {}

Form::~Form() {
  runtime_.UnregisterForm(*this);
}

Control* Form::FindControl(std::string_view name, int index) const {
  for (Control* control : controls_) {
    if (control->name() == name && control->index() == index)
      return control;
  }
  return nullptr;
}

void Form::Register(Control& control) {
  controls_.push_back(&control);
}

void Form::Unregister(Control& control) {
  std::erase(controls_, &control);
}

void Form::Changed() {
  if (observer)
    observer(*this);
}

void Form::TimersChanged() {
  for (Control* control : controls_) {
    if (control->kind() == ControlKind::kTimer)
      runtime_.TimerChanged(static_cast<Timer&>(*control));
  }
}

void Form::Load() {
  if (loaded_ || runtime_.Ended())
    return;
  if (IsMainWindow() && ever_unloaded_)
    return;
  if (!ever_loaded_) {
    for (Control* control : controls_)
      control->SaveDesign();
    design_ = {caption_, window_state_, left_, top_, width_, height_, icon_};
    ever_loaded_ = true;
  } else {
    for (ControlArrayBase* array : arrays_)
      array->DropLoadedElements();
    caption_ = design_.caption;
    window_state_ = design_.window_state;
    left_ = design_.left;
    top_ = design_.top;
    width_ = design_.width;
    height_ = design_.height;
    icon_ = design_.icon;
    top_most_ = false;
    for (Control* control : controls_)
      control->RestoreDesign();
  }
  restore_state_ = window_state_ == WindowState::kMinimized ? WindowState::kNormal : window_state_;
  if (window_state_ == WindowState::kNormal)
    normal_bounds_ = {left_, top_, width_, height_};
  loaded_ = true;
  visible_ = false;
  shown_since_load_ = false;
  runtime_.backend().OnFormLoaded(*this);
  Changed();
  TimersChanged();
  Form_Load();
}

bool Form::Unload(UnloadMode mode) {
  if (!loaded_ || unloading_)
    return false;
  unloading_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{unloading_};

  int cancel = 0;
  Form_QueryUnload(cancel, mode);
  if (cancel != 0)
    return false;
  Form_Unload(cancel);
  if (cancel != 0)
    return false;

  bool was_visible = visible_;
  loaded_ = false;
  visible_ = false;
  ever_unloaded_ = true;
  if (runtime_.LockedWindow() == handle_)
    runtime_.LockWindowUpdate(0);
  TimersChanged();
  if (was_visible)
    runtime_.backend().OnFormHidden(*this);
  runtime_.backend().OnFormUnloaded(*this);
  Changed();
  return true;
}

void Form::Show(bool modal) {
  Load();
  if (!loaded_)
    return;
  if (!visible_) {
    visible_ = true;
    runtime_.backend().OnFormShown(*this, modal);
    Changed();
    if (!shown_since_load_) {
      shown_since_load_ = true;
      Form_Resize();
    }
    if (loaded_ && visible_)
      Form_Activate();
  }
  if (modal && loaded_ && visible_)
    runtime_.RunModal(*this);
}

void Form::Hide() {
  Load();
  if (!loaded_ || !visible_)
    return;
  visible_ = false;
  runtime_.backend().OnFormHidden(*this);
  Changed();
}

void Form::SetVisible(bool visible) {
  if (visible)
    Show(false);
  else
    Hide();
}

void Form::SetCaption(std::string caption) {
  if (caption_ == caption)
    return;
  caption_ = std::move(caption);
  Changed();
}

void Form::SetWindowState(WindowState state) {
  if (window_state_ == state)
    return;
  const bool back_to_normal = window_state_ != WindowState::kNormal;
  window_state_ = state;
  if (state != WindowState::kMinimized)
    restore_state_ = state;
  if (state == WindowState::kNormal && back_to_normal) {
    left_ = normal_bounds_.left;
    top_ = normal_bounds_.top;
    width_ = normal_bounds_.width;
    height_ = normal_bounds_.height;
  }
  Changed();
  Resized();
}

void Form::SetLeft(double left) {
  Move(left, top_, width_, height_);
}
void Form::SetTop(double top) {
  Move(left_, top, width_, height_);
}
void Form::SetWidth(double width) {
  Move(left_, top_, width, height_);
}
void Form::SetHeight(double height) {
  Move(left_, top_, width_, height);
}

void Form::Move(double left, double top, double width, double height) {
  bool resized = width != width_ || height != height_;
  if (!resized && left == left_ && top == top_)
    return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (window_state_ == WindowState::kNormal)
    normal_bounds_ = {left, top, width, height};
  Changed();
  if (resized)
    Resized();
}

void Form::PlaceNormal(double left, double top) {
  if (window_state_ == WindowState::kNormal) {
    Move(left, top, width_, height_);
    return;
  }
  normal_bounds_.left = left;
  normal_bounds_.top = top;
}

void Form::Resized() {
  if (loaded_)
    Form_Resize();
}

void Form::SetIcon(std::string icon) {
  if (icon_ == icon)
    return;
  icon_ = std::move(icon);
  Changed();
}

void Form::SetTopMost(bool top_most) {
  if (top_most_ == top_most)
    return;
  top_most_ = top_most;
  Changed();
}

bool Form::RunUserAction(std::string_view what, const std::function<void()>& action) {
  std::string description = name_ + " " + std::string(what);
  if (!loaded_) {
    runtime_.RecordRefusal(description, "the window is not loaded");
    return false;
  }
  return runtime_.DispatchUserAction(*this, description, action);
}

bool Form::UserClose() {
  return RunUserAction("close", [this] { Unload(UnloadMode::kFormControlMenu); });
}

bool Form::UserMouseDown(const MouseEvent& event) {
  return RunUserAction("mouse down", [this, event] { Form_MouseDown(event); });
}

bool Form::UserMouseUp(const MouseEvent& event) {
  return RunUserAction("mouse up", [this, event] { Form_MouseUp(event); });
}

bool Form::UserMouseMove(const MouseEvent& event) {
  return RunUserAction("mouse move", [this, event] { Form_MouseMove(event); });
}

bool Form::UserResize(double width, double height) {
  return RunUserAction("resize", [this, width, height] { Move(left_, top_, width, height); });
}

bool Form::UserMove(double left, double top) {
  return RunUserAction("move", [this, left, top] { Move(left, top, width_, height_); });
}

bool Form::UserSetWindowState(WindowState state) {
  return RunUserAction("window state", [this, state] { SetWindowState(state); });
}

void Form::PostMouseMove(const MouseEvent& event) {
  if (!loaded_)
    return;
  runtime_.Dispatch([this, event] { Form_MouseMove(event); });
}

void Form::Painted() {
  if (loaded_)
    runtime_.Dispatch([this] { Form_Paint(); });
}

}  // namespace forms
