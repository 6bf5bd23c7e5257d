#include "model/window.h"

#include <utility>

namespace model {

Window::Window(forms::Runtime& runtime, std::string name, forms::FormRole role)
    : forms::Form(runtime, std::move(name), role) {}

std::string KindTypeName(forms::ControlKind kind) {
  using K = forms::ControlKind;
  switch (kind) {
    case K::kLabel:
      return "Label";
    case K::kCommandButton:
      return "CommandButton";
    case K::kCheckBox:
      return "CheckBox";
    case K::kOptionButton:
      return "OptionButton";
    case K::kComboBox:
      return "ComboBox";
    case K::kTextBox:
      return "TextBox";
    case K::kListView:
      return "ListView";
    case K::kProgressBar:
      return "ProgressBar";
    case K::kTimer:
      return "Timer";
    case K::kShape:
      return "Shape";
    case K::kFrame:
      return "Frame";
    case K::kDatePicker:
      return "DTPicker";
    case K::kTabStrip:
      return "TabStrip";
    case K::kStatusBar:
      return "StatusBar";
    case K::kImage:
      return "Image";
    case K::kMenuItem:
      return "Menu";
    case K::kBrowser:
      return "WebBrowser";
  }
  return "Control";
}

std::string Window::TypeName(const forms::Control& control) const {
  auto it = type_names_.find(control.FullName());
  return it != type_names_.end() ? it->second : KindTypeName(control.kind());
}

void Window::SetTypeName(const forms::Control& control, std::string type_name) {
  type_names_[control.FullName()] = std::move(type_name);
}

bool Window::IsSkinLabel(const forms::Control& control) const {
  return TypeName(control) == "SkinLabel";
}

void Window::MarkSkinLabel(forms::Label& label) {
  if (IsSkinLabel(label))
    return;
  SetTypeName(label, "SkinLabel");
  if (label.observer)
    label.observer(label);
}

void Window::Place(forms::Control& control, forms::Control* container, double left, double top,
                   double width, double height) {
  control.SetContainer(container);
  control.Move(left, top, width, height);
}

void Window::Form_Load() {
  if (on_load)
    on_load();
}
void Window::Form_Activate() {
  if (on_activate)
    on_activate();
}
void Window::Form_Resize() {
  if (on_resize)
    on_resize();
}
void Window::Form_Paint() {
  if (on_paint)
    on_paint();
}
void Window::Form_QueryUnload(int& cancel, forms::UnloadMode mode) {
  if (on_query_unload)
    on_query_unload(cancel, mode);
}
void Window::Form_Unload(int& cancel) {
  if (on_unload)
    on_unload(cancel);
}
void Window::Form_MouseDown(const forms::MouseEvent& event) {
  if (on_mouse_down)
    on_mouse_down(event);
}
void Window::Form_MouseUp(const forms::MouseEvent& event) {
  if (on_mouse_up)
    on_mouse_up(event);
}
void Window::Form_MouseMove(const forms::MouseEvent& event) {
  if (on_mouse_move)
    on_mouse_move(event);
}

}  // namespace model
