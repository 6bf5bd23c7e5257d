#include "forms/control.h"

#include <utility>

#include "forms/form.h"
#include "forms/runtime.h"

namespace forms {

Control::Control(Form& form, ControlKind kind, std::string name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index) {
  form_.Register(*this);
}

Control::~Control() {
  form_.Unregister(*this);
}

Runtime& Control::runtime() const {
  return form_.runtime();
}

std::string Control::FullName() const {
  if (index_ == kNoIndex)
    return name_;
  return name_ + "(" + std::to_string(index_) + ")";
}

void Control::Changed() {
  if (observer)
    observer(*this);
}

void Control::SetEnabled(bool enabled) {
  if (common_.enabled == enabled)
    return;
  common_.enabled = enabled;
  OnEnabledChanged();
  Changed();
}

void Control::SetVisible(bool visible) {
  if (common_.visible == visible)
    return;
  common_.visible = visible;
  Changed();
}

void Control::SetLeft(double left) {
  Move(left, common_.top, common_.width, common_.height);
}
void Control::SetTop(double top) {
  Move(common_.left, top, common_.width, common_.height);
}
void Control::SetWidth(double width) {
  Move(common_.left, common_.top, width, common_.height);
}
void Control::SetHeight(double height) {
  Move(common_.left, common_.top, common_.width, height);
}

void Control::Move(double left, double top, double width, double height) {
  if (left == common_.left && top == common_.top && width == common_.width &&
      height == common_.height)
    return;
  common_.left = left;
  common_.top = top;
  common_.width = width;
  common_.height = height;
  Changed();
}

void Control::SetForeColor(Color color) {
  if (common_.fore_color == color)
    return;
  common_.fore_color = color;
  Changed();
}

void Control::SetBackColor(Color color) {
  if (common_.back_color == color)
    return;
  common_.back_color = color;
  Changed();
}

void Control::SetFont(const Font& font) {
  if (common_.font == font)
    return;
  common_.font = font;
  Changed();
}

void Control::SetFontBold(bool bold) {
  Font font = common_.font;
  font.bold = bold;
  SetFont(font);
}

void Control::SetFontItalic(bool italic) {
  Font font = common_.font;
  font.italic = italic;
  SetFont(font);
}

void Control::SetFontUnderline(bool underline) {
  Font font = common_.font;
  font.underline = underline;
  SetFont(font);
}

void Control::SetToolTip(std::string tooltip) {
  if (common_.tooltip == tooltip)
    return;
  common_.tooltip = std::move(tooltip);
  Changed();
}

void Control::SetContainer(Control* container) {
  if (common_.container == container)
    return;
  common_.container = container;
  Changed();
}

void Control::SetTag(std::string tag) {
  if (common_.tag == tag)
    return;
  common_.tag = std::move(tag);
  Changed();
}

bool Control::Reachable() const {
  if (!form_.Loaded())
    return false;
  for (const Control* c = this; c; c = c->Container()) {
    if (!c->Visible() || !c->Enabled())
      return false;
  }
  return true;
}

std::string Control::Describe(std::string_view what) const {
  return form_.name() + "." + FullName() + " " + std::string(what);
}

bool Control::Refuse(std::string_view what, std::string_view reason) {
  runtime().RecordRefusal(Describe(what), reason);
  return false;
}

bool Control::RunUserAction(std::string_view what, const std::function<void()>& action) {
  if (!Reachable())
    return Refuse(what, "the control is not reachable");
  return runtime().DispatchUserAction(form_, Describe(what), action);
}

void Control::OnUserClick() {
  if (on_click)
    on_click();
}

bool Control::UserClick() {
  return RunUserAction("click", [this] { OnUserClick(); });
}

bool Control::UserDblClick() {
  return RunUserAction("double-click", [this] {
    if (on_dbl_click)
      on_dbl_click();
  });
}

bool Control::UserMouseDown(const MouseEvent& event) {
  return RunUserAction("mouse down", [this, event] {
    if (on_mouse_down)
      on_mouse_down(event);
  });
}

bool Control::UserMouseUp(const MouseEvent& event) {
  return RunUserAction("mouse up", [this, event] {
    if (on_mouse_up)
      on_mouse_up(event);
  });
}

bool Control::UserMouseMove(const MouseEvent& event) {
  return RunUserAction("mouse move", [this, event] {
    if (on_mouse_move)
      on_mouse_move(event);
  });
}

bool Control::UserKeyPress(int key_ascii) {
  return RunUserAction("key " + std::to_string(key_ascii), [this, key_ascii] {
    int key = key_ascii;
    if (on_key_press)
      on_key_press(key);
    if (key != 0)
      OnKeyAccepted(key);
  });
}

int Control::UserKeyPressTypedByWidget(int key_ascii) {
  int let_through = 0;
  RunUserAction("key " + std::to_string(key_ascii), [this, key_ascii, &let_through] {
    let_through = key_ascii;
    if (on_key_press)
      on_key_press(let_through);
  });
  return let_through;
}

void Control::SaveDesign() {
  common_design_ = common_;
}

void Control::RestoreDesign() {
  bool enabled_changed = common_.enabled != common_design_.enabled;
  common_ = common_design_;
  if (enabled_changed)
    OnEnabledChanged();
  Changed();
}

void Control::CopyFrom(const Control& other) {
  common_ = other.common_;
  OnEnabledChanged();
  Changed();
}

}  // namespace forms
