#include "forms/runtime.h"

#include <algorithm>
#include <utility>

#include "forms/form.h"
#include "forms/timer.h"
#include "machine/machine.h"

namespace forms {

namespace {

// Counts a loop's nesting for as long as it runs.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

// Keeps a modal window or prompt on the stack while it is open.
class ModalGuard {
 public:
  ModalGuard(std::vector<const Form*>& stack, const Form* form) : stack_(stack) {
    stack_.push_back(form);
  }
  ~ModalGuard() { stack_.pop_back(); }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

 private:
  std::vector<const Form*>& stack_;
};

}  // namespace

Runtime::Runtime(Backend& backend, std::string product_name)
    : backend_(backend), product_name_(std::move(product_name)) {
  backend_.Attach(*this);
}

Runtime::~Runtime() = default;

void Runtime::ConnectServices(services::System& system) {
  services_ = &system;
  system.prompter = this;
  system.windows = this;
  system.yield = [this] { Yield(); };
}

void Runtime::ThrowIfEnded() const {
  if (ended_)
    throw ProgramEnded();
}

void Runtime::Yield() {
  ThrowIfEnded();
  {
    DepthGuard depth(loop_depth_);
    backend_.ProcessEvents();
  }
  ThrowIfEnded();
}

void Runtime::RunLoopUntil(const std::function<bool()>& done) {
  ThrowIfEnded();
  DepthGuard depth(loop_depth_);
  while (!done()) {
    backend_.ProcessEvents();
    ThrowIfEnded();
    if (done())
      break;
    backend_.WaitForEvents(-1);
    ThrowIfEnded();
  }
}

bool Runtime::WaitUntil(const std::function<bool()>& condition, const Form* form) {
  bool held = false;
  RunLoopUntil([&] {
    held = condition();
    return held || (form && !form->Loaded());
  });
  return held;
}

void Runtime::Run() {
  try {
    RunLoopUntil([] { return false; });
  } catch (const ProgramEnded&) {
    // The normal way out.
  }
}

void Runtime::RunModal(Form& form) {
  ModalGuard modal(modal_stack_, &form);
  ++form.modal_depth_;
  struct Leave {
    Form& form;
    ~Leave() { --form.modal_depth_; }
  } leave{form};
  RunLoopUntil([&form] { return !form.Loaded() || !form.Visible(); });
}

int Runtime::MsgBox(std::string_view prompt, int style, std::string_view title) {
  ThrowIfEnded();
  MessageBoxRequest request{std::string(prompt), style,
                            title.empty() ? product_name_ : std::string(title)};
  int answer;
  {
    ModalGuard modal(modal_stack_, nullptr);
    DepthGuard depth(loop_depth_);
    answer = backend_.ShowMessageBox(request);
  }
  ThrowIfEnded();
  return answer;
}

std::string Runtime::OpenFileDialog(std::string_view title, std::string_view filter) {
  ThrowIfEnded();
  FileDialogRequest request{std::string(title), std::string(filter)};
  std::string path;
  {
    ModalGuard modal(modal_stack_, nullptr);
    DepthGuard depth(loop_depth_);
    path = backend_.ShowFileDialog(request);
  }
  ThrowIfEnded();
  return path;
}

void Runtime::EndProgram() {
  if (!ended_) {
    ended_ = true;
    for (Timer* timer : timers_)
      backend_.OnTimerChanged(*timer);
    backend_.OnProgramEnd();
  }
  throw ProgramEnded();
}

Form* Runtime::MainForm() const {
  auto it = std::find_if(forms_.begin(), forms_.end(),
                         [](const Form* form) { return form->IsMainWindow(); });
  return it == forms_.end() ? nullptr : *it;
}

Form* Runtime::FindForm(services::WindowHandle handle) const {
  auto it = std::find_if(forms_.begin(), forms_.end(),
                         [handle](const Form* form) { return form->hWnd() == handle; });
  return it == forms_.end() ? nullptr : *it;
}

const Form* Runtime::ModalForm() const {
  return modal_stack_.empty() ? nullptr : modal_stack_.back();
}

bool Runtime::BlocksUserInput(const Form& form) const {
  return !modal_stack_.empty() && modal_stack_.back() != &form;
}

void Runtime::Dispatch(const std::function<void()>& handler) {
  if (ended_)
    return;
  if (services_)
    services_->machine.registry().EndReadSnapshot();
  try {
    handler();
  } catch (const ProgramEnded&) {
    // Raised again by the loop that receives control back from the backend.
  }
}

bool Runtime::DispatchUserAction(const Form& form, std::string_view what,
                                 const std::function<void()>& action) {
  if (ended_) {
    RecordRefusal(what, "the program has ended");
    return false;
  }
  if (BlocksUserInput(form)) {
    RecordRefusal(what, modal_stack_.back()
                            ? "the window " + modal_stack_.back()->name() + " is modal"
                            : std::string("a message box is open"));
    return false;
  }
  Dispatch(action);
  return true;
}

void Runtime::RecordRefusal(std::string_view what, std::string_view reason) {
  refused_actions_.push_back(std::string(what) + " refused: " + std::string(reason));
}

void Runtime::FireTimer(Timer& timer) {
  if (!IsTimerActive(timer) || timer.running_)
    return;
  timer.running_ = true;
  struct Finish {
    Timer& timer;
    ~Finish() { timer.running_ = false; }
  } finish{timer};
  Dispatch([&timer] {
    if (timer.on_timer)
      timer.on_timer();
  });
}

bool Runtime::IsTimerActive(const Timer& timer) const {
  return !ended_ && timer.Enabled() && timer.Interval() > 0 && timer.form().Loaded();
}

bool Runtime::IsMainWindowVisible() const {
  const Form* main = MainForm();
  return main && main->Loaded() && main->Visible();
}

void Runtime::LockWindowUpdate(services::WindowHandle window) {
  locked_window_ = window;
  backend_.OnRedrawLock(window);
}

void Runtime::SetWindowZOrder(services::WindowHandle window, services::WindowHandle insert_after) {
  if (Form* form = FindForm(window))
    form->SetTopMost(insert_after == services::kTopMost);
}

services::WindowHandle Runtime::RegisterForm(Form& form) {
  forms_.push_back(&form);
  return next_handle_++;
}

void Runtime::UnregisterForm(Form& form) {
  std::erase(forms_, &form);
}

void Runtime::RegisterTimer(Timer& timer) {
  timers_.push_back(&timer);
}

void Runtime::UnregisterTimer(Timer& timer) {
  std::erase(timers_, &timer);
  backend_.OnTimerRemoved(timer);
}

void Runtime::TimerChanged(Timer& timer) {
  backend_.OnTimerChanged(timer);
}

}  // namespace forms
