#pragma once
// The message loop: timers, yields, nested loops for modal windows and prompts, waits, and the
// program's end. One Runtime per application object; it also serves the services as their
// Prompter and WindowManager.
//
// Ending the program: EndProgram() marks the program ended, tells the backend and throws
// ProgramEnded, which unwinds the handler that called it. Event entry points (timer ticks, user
// actions, Dispatch) stop the exception so that it never crosses the backend; every loop that
// gets control back from the backend (Yield, WaitUntil, modal windows, prompts) throws it
// again, so the whole stack unwinds to the top. Once ended, nothing dispatches any more.
//
// Build the backend first, then the runtime, then the forms; destroy them in reverse order.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/backend.h"
#include "services/prompts.h"
#include "services/system.h"

namespace forms {

class Form;
class Timer;

// Thrown by EndProgram (and by loops that find the program ended) to unwind to the top.
class ProgramEnded : public std::exception {
 public:
  const char* what() const noexcept override { return "the program has ended"; }
};

class Runtime final : public services::Prompter, public services::WindowManager {
 public:
  // `product_name` titles message boxes whose title is empty.
  Runtime(Backend& backend, std::string product_name);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Backend& backend() const { return backend_; }
  const std::string& ProductName() const { return product_name_; }
  void SetProductName(std::string product_name) { product_name_ = std::move(product_name); }
  int64_t NowMs() const { return backend_.NowMs(); }

  // Makes this runtime the services' prompter, window manager and yield.
  void ConnectServices(services::System& system);

  // The message loop.
  // Lets pending events run once: due timer ticks, user actions.
  void Yield();
  // Yields until `condition` holds; gives up when `form` (if any) is unloaded. Returns the
  // condition's last value.
  bool WaitUntil(const std::function<bool()>& condition, const Form* form = nullptr);
  // The top-level loop: runs until the program ends.
  void Run();
  // Nesting depth of the loops now running (0 at the top).
  int LoopDepth() const { return loop_depth_; }

  // Prompts. An empty title means the product name.
  int MsgBox(std::string_view prompt, int style, std::string_view title) override;
  int MsgBox(std::string_view prompt, int style = services::vbOKOnly) {
    return MsgBox(prompt, style, {});
  }
  // The open-file dialog: the chosen path, "" when cancelled. A file on the machine's drives
  // comes back as its Windows path, any other as its host path.
  std::string OpenFileDialog(std::string_view title, std::string_view filter);

  // Ends the program from any depth.
  [[noreturn]] void EndProgram();
  bool Ended() const { return ended_; }

  // The application's taskbar button (shown by default).
  bool TaskVisible() const { return task_visible_; }
  void SetTaskVisible(bool visible) { task_visible_ = visible; }
  // The screen's mouse pointer (the default arrow at start).
  MousePointer GetMousePointer() const { return mouse_pointer_; }
  void SetMousePointer(MousePointer pointer) {
    mouse_pointer_ = pointer;
    backend_.OnMousePointer(pointer);
  }

  // Windows.
  const std::vector<Form*>& Forms() const { return forms_; }
  Form* MainForm() const;
  Form* FindForm(services::WindowHandle handle) const;
  // The modal window on top, nullptr when none is open or the top one is a prompt.
  const Form* ModalForm() const;
  bool ModalOpen() const { return !modal_stack_.empty(); }
  // True when user input to `form` is blocked by a modal window or prompt above it.
  bool BlocksUserInput(const Form& form) const;

  // Entry points for backends and views.
  // Runs an event handler from the loop; stops ProgramEnded (see above). Nothing runs once
  // the program has ended. A registry snapshot held across the yield ends first, so the
  // handler and the code that yielded both see what the other changed.
  void Dispatch(const std::function<void()>& handler);
  // Runs a user action on `form` unless a modal window blocks it; a refused action is
  // recorded as "<what> refused: <reason>" and gives false.
  bool DispatchUserAction(const Form& form, std::string_view what,
                          const std::function<void()>& action);
  void RecordRefusal(std::string_view what, std::string_view reason);
  const std::vector<std::string>& RefusedActions() const { return refused_actions_; }
  // A tick of `timer` is due. Dropped when the timer is not active or its handler runs.
  void FireTimer(Timer& timer);
  // Enabled, interval not 0, form loaded, program not ended.
  bool IsTimerActive(const Timer& timer) const;
  const std::vector<Timer*>& Timers() const { return timers_; }

  // services::WindowManager.
  bool IsMainWindowVisible() const override;
  void LockWindowUpdate(services::WindowHandle window) override;
  void SetWindowZOrder(services::WindowHandle window, services::WindowHandle insert_after) override;
  // The window whose redrawing is frozen, 0 for none.
  services::WindowHandle LockedWindow() const { return locked_window_; }

 private:
  friend class Form;
  friend class Timer;

  services::WindowHandle RegisterForm(Form& form);
  void UnregisterForm(Form& form);
  void RegisterTimer(Timer& timer);
  void UnregisterTimer(Timer& timer);
  void TimerChanged(Timer& timer);
  // Runs a nested loop with `form` modal until it is hidden or unloaded.
  void RunModal(Form& form);
  // Nested loop until `done` holds or the program ends.
  void RunLoopUntil(const std::function<bool()>& done);
  void ThrowIfEnded() const;

  Backend& backend_;
  std::string product_name_;
  std::vector<Form*> forms_;
  std::vector<Timer*> timers_;
  // Modal windows, innermost last; nullptr stands for a prompt.
  std::vector<const Form*> modal_stack_;
  std::vector<std::string> refused_actions_;
  services::WindowHandle next_handle_ = 1;
  services::WindowHandle locked_window_ = 0;
  services::System* services_ = nullptr;
  int loop_depth_ = 0;
  bool ended_ = false;
  bool task_visible_ = true;
  MousePointer mouse_pointer_ = MousePointer::kDefault;
};

}  // namespace forms
