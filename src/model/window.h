#pragma once
// The base of every window model: a form whose event handlers are slots that the layers above
// fill (the scan, the removal, the windows' logic), and the design type name of each control,
// which the skinning reads ("Label" and "SkinLabel" look alike in the runtime but are skinned
// differently; a "PictureBox" is a frame in the runtime).

#include <functional>
#include <map>
#include <string>

#include "forms/forms.h"

namespace model {

class Window : public forms::Form {
 public:
  Window(forms::Runtime& runtime, std::string name,
         forms::FormRole role = forms::FormRole::kAuxiliary);

  // Handler slots; an empty slot does nothing.
  std::function<void()> on_load;
  std::function<void()> on_activate;
  std::function<void()> on_resize;
  std::function<void()> on_paint;
  std::function<void(int& cancel, forms::UnloadMode mode)> on_query_unload;
  std::function<void(int& cancel)> on_unload;
  std::function<void(const forms::MouseEvent&)> on_mouse_down;
  std::function<void(const forms::MouseEvent&)> on_mouse_up;
  std::function<void(const forms::MouseEvent&)> on_mouse_move;
  // A real click on the window's tray icon, as its mouse message number (model/tray.h).
  std::function<void(int message)> on_tray_message;

  // The control's type as the window's design names it: "Label", "SkinLabel", "CommandButton",
  // "TextBox", "ComboBox", "ListView", "PictureBox", ...
  std::string TypeName(const forms::Control& control) const;
  // Gives a control a design type other than its kind's own (a skinned label, a picture box).
  void SetTypeName(const forms::Control& control, std::string type_name);
  bool IsSkinLabel(const forms::Control& control) const;
  // Marks a label as skinned and lets the view know.
  void MarkSkinLabel(forms::Label& label);

 protected:
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Resize() override;
  void Form_Paint() override;
  void Form_QueryUnload(int& cancel, forms::UnloadMode mode) override;
  void Form_Unload(int& cancel) override;
  void Form_MouseDown(const forms::MouseEvent& event) override;
  void Form_MouseUp(const forms::MouseEvent& event) override;
  void Form_MouseMove(const forms::MouseEvent& event) override;

  // Design helpers for the models' constructors.
  static void Place(forms::Control& control, forms::Control* container, double left, double top,
                    double width, double height);
  template <class C>
  static C& Captioned(C& control, std::string caption) {
    control.SetCaption(std::move(caption));
    return control;
  }

 private:
  // By the control's full name ("SkinLabel1(0)"), which outlives any one control object.
  std::map<std::string, std::string> type_names_;
};

// The design type name of a control kind.
std::string KindTypeName(forms::ControlKind kind);

}  // namespace model
