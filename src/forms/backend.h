#pragma once
// What the runtime needs from a window system: time, waiting, one pass over pending events,
// modal prompts, and notices about timers and windows. The headless backend serves tests; a Qt
// backend runs one QTimer per model timer, processEvents for a pass and QMessageBox for
// prompts.
//
// Events that a backend delivers (timer ticks through Runtime::FireTimer, user input through
// the controls' User* calls) must not throw into the backend: those entry points stop the
// ProgramEnded exception themselves, and the runtime raises it again when control comes back
// from the backend.

#include <cstdint>
#include <string>

#include "services/system.h"

namespace forms {

class Form;
class Runtime;
class Timer;

struct MessageBoxRequest {
  std::string prompt;
  int style = 0;      // vb* buttons, icon and default-button bits
  std::string title;  // already resolved: never empty
};

// The screen's mouse pointer, as the program sets it for all its windows.
enum class MousePointer { kDefault, kHourglass };

struct FileDialogRequest {
  std::string title;
  // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
  std::string filter;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Called once by the runtime built on this backend.
  virtual void Attach(Runtime& runtime) = 0;

  // Milliseconds from an arbitrary start, never going back.
  virtual int64_t NowMs() const = 0;
  // One pass over what is pending: user input, due timer ticks.
  virtual void ProcessEvents() = 0;
  // Waits until something may be pending, or `max_ms` passed (negative: no limit).
  virtual void WaitForEvents(int64_t max_ms) = 0;

  // Modal prompts. The message box returns the vb* answer; the file dialog the chosen path (its
  // Windows path when it lies on a drive of the machine), "" when cancelled.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  virtual std::string ShowFileDialog(const FileDialogRequest& request) = 0;

  // A timer was switched, restarted (its countdown starts again from now) or taken down; ask
  // Runtime::IsTimerActive whether it should tick.
  virtual void OnTimerChanged(Timer& timer) = 0;
  // The timer is being destroyed.
  virtual void OnTimerRemoved(Timer& timer) = 0;

  // Windows.
  virtual void OnFormLoaded(Form& form) {}
  virtual void OnFormUnloaded(Form& form) {}
  virtual void OnFormShown(Form& form, bool modal) {}
  virtual void OnFormHidden(Form& form) {}
  // Redrawing of the window is frozen (0: unfrozen).
  virtual void OnRedrawLock(services::WindowHandle window) {}
  // The program set the screen's mouse pointer.
  virtual void OnMousePointer(MousePointer pointer) {}

  // The program ends: flush and leave. A backend may end the process here; if it returns, the
  // runtime unwinds every loop with ProgramEnded.
  virtual void OnProgramEnd() {}
};

}  // namespace forms
