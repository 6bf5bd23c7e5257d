#pragma once
// What the Qt backend tells the screen about the program's windows. The backend owns the loop
// and the prompts; the screen owns the widgets.

#include "forms/form.h"
#include "services/system.h"

namespace view {

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual void FormLoaded(forms::Form& form) = 0;
  virtual void FormUnloaded(forms::Form& form) = 0;
  virtual void FormShown(forms::Form& form, bool modal) = 0;
  virtual void FormHidden(forms::Form& form) = 0;
  // Redrawing of `window` is frozen; 0 unfreezes.
  virtual void RedrawLock(services::WindowHandle window) = 0;
  // Brings the widgets in step with controls added or removed since the last call.
  virtual void Sync() = 0;
  // The program ends: every window goes away.
  virtual void ProgramEnding() = 0;
  // The window a prompt should sit over; nullptr for none.
  virtual QWidget* ActiveWindow() const = 0;
};

}  // namespace view
