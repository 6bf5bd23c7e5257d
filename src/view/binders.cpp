#include "view/binders.h"

namespace view {

namespace {

// Timers have no widget; the binding only keeps the bookkeeping uniform.
class TimerBinding final : public Binding {
 public:
  using Binding::Binding;

 protected:
  QWidget* CreateWidget(QWidget*) override { return nullptr; }
};

}  // namespace

std::unique_ptr<Binding> MakeBinding(forms::Control& control, BindContext& context,
                                     const ControlDesign& design) {
  using K = forms::ControlKind;
  switch (control.kind()) {
    case K::kLabel:
    case K::kCommandButton:
    case K::kFrame:
    case K::kShape:
    case K::kImage:
      return MakeCaptionBinding(control, context, design);
    case K::kCheckBox:
    case K::kOptionButton:
      return MakeChoiceBinding(control, context, design);
    case K::kComboBox:
    case K::kTextBox:
      return MakeTextBinding(control, context, design);
    case K::kListView:
      return MakeListBinding(control, context, design);
    case K::kProgressBar:
    case K::kTabStrip:
    case K::kStatusBar:
      return MakeBarBinding(control, context, design);
    case K::kDatePicker:
      return MakeDateBinding(control, context, design);
    case K::kMenuItem:
      return MakeMenuBinding(control, context, design);
    case K::kBrowser:
      return MakeBrowserBinding(control, context, design);
    case K::kTimer:
      break;
  }
  return std::make_unique<TimerBinding>(control, context, design);
}

}  // namespace view
