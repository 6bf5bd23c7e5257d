#pragma once
// The generic binders, one per control kind, and the one entry that picks by kind.

#include <memory>

#include "view/binding.h"

class QAction;
class QMenu;

namespace view {

// The binding for any control; its Build() has not run yet.
std::unique_ptr<Binding> MakeBinding(forms::Control& control, BindContext& context,
                                     const ControlDesign& design);

// Per family of kinds (the files bind_*.cpp).
std::unique_ptr<Binding> MakeCaptionBinding(forms::Control& control, BindContext& context,
                                            const ControlDesign& design);
std::unique_ptr<Binding> MakeChoiceBinding(forms::Control& control, BindContext& context,
                                           const ControlDesign& design);
std::unique_ptr<Binding> MakeTextBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design);
std::unique_ptr<Binding> MakeListBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design);
std::unique_ptr<Binding> MakeBarBinding(forms::Control& control, BindContext& context,
                                        const ControlDesign& design);
std::unique_ptr<Binding> MakeDateBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design);
std::unique_ptr<Binding> MakeMenuBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design);
std::unique_ptr<Binding> MakeBrowserBinding(forms::Control& control, BindContext& context,
                                            const ControlDesign& design);

}  // namespace view

namespace view {

// The QMenu of a bound menu that holds items, and the QAction of any bound menu item; nullptr
// for other bindings.
QMenu* MenuOfBinding(Binding& binding);
QAction* ActionOfBinding(Binding& binding);

}  // namespace view
