#pragma once
// Skinning a window: its standard controls take the skin's colours, the skin control takes the
// window (the view then draws it with the skin's style sheet), and its plain labels become
// skinned labels.

#include <initializer_list>

#include "forms/basic_controls.h"
#include "forms/control.h"
#include "forms/control_array.h"

namespace model {
struct App;
class Window;
}  // namespace model

namespace ui {

// Colours the window's controls from the skin (colours 2 to 5) and hands the window to the skin
// control (objSkin). When there is no skin control yet, the splash window, which carries it, is
// loaded (with its start-up timer switched off and the window hidden) and the skin is tried once
// more; if that fails too the window keeps its own look.
void ApplySkin(model::App& app, model::Window& window);

// By design type: "CommandButton" takes `back`; "TextBox", "ComboBox", "FileListBox",
// "DirListBox", "DriveListBox", "ListBox" and "ListView" take `back` and `fore`; "PictureBox"
// takes `panel`. `extra` is applied to nothing; other controls keep their colours.
void ColorFormControls(model::Window& window, forms::Color back, forms::Color fore,
                       forms::Color panel, forms::Color extra);

enum class LabelMatch {
  kByContainer,  // a label in a container that holds one of the templates
  kEveryLabel,   // every plain label (the About window)
};

// Gives the window's plain labels the skinned look. The labels are styled in place rather than
// copied into skinned twins, so a label changed later never hides behind a stale copy. A label
// whose container holds no template (element 0 of one of `templates`) stays plain.
void CloneLabelsAsSkinLabels(
    model::Window& window,
    std::initializer_list<const forms::ControlArray<forms::Label>*> templates,
    LabelMatch match = LabelMatch::kByContainer);

}  // namespace ui
