#pragma once
// A backend without a screen, for tests: a virtual clock that the test moves, scripted user
// actions delivered at yields, scripted answers to prompts, and a record of every prompt.
//
// Time moves only when told: AdvanceMs lets time pass while the program is idle (every timer
// tick that falls due runs, in time order); PassMs lets time pass while the program is busy
// (nothing runs; the missed ticks merge into one at the next yield). A loop that waits
// (WaitUntil, a modal window) moves the clock to the next scripted action or timer tick; when
// nothing can ever come, or the wait would run past the wait limit, it throws HeadlessStall.
//
// An unexpected prompt, or one whose text or answer does not fit the script, is recorded in
// Failures() and throws UnexpectedPrompt.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/backend.h"

namespace forms {

class HeadlessStall : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class UnexpectedPrompt : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

struct ShownMessageBox {
  std::string prompt;
  int style = 0;
  std::string title;
  int answer = 0;
};

class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend() = default;

  // Time.
  int64_t NowMs() const override { return now_ms_; }
  // Time passes while the program is idle: every tick and timed action that falls due runs,
  // in time order.
  void AdvanceMs(int64_t ms);
  // Time passes while the program is busy: nothing runs now.
  void PassMs(int64_t ms) { now_ms_ += ms; }
  // Time each yield takes (default 0), so that long tasks let timers fall due.
  void SetMsPerYield(int64_t ms) { ms_per_yield_ = ms; }
  // How far a waiting loop may move the clock past the last AdvanceMs (default one hour).
  void SetWaitLimitMs(int64_t ms) { wait_limit_ms_ = ms; }

  // Scripted user actions: `action` usually calls a control's User* entry point.
  // Delivered at the `yields`-th yield from now (1 = the next one).
  void AtYield(int yields, std::string what, std::function<void()> action);
  // Delivered at the first yield at or after virtual time `at_ms`.
  void AtTime(int64_t at_ms, std::string what, std::function<void()> action);
  bool HasPendingActions() const { return !actions_.empty(); }
  // Descriptions of the actions delivered so far, in order.
  const std::vector<std::string>& DeliveredActions() const { return delivered_; }
  // Passes over pending events so far (each yield, and each pass of a waiting loop).
  int64_t YieldCount() const { return yield_count_; }

  // Scripted prompts, answered in order. `text_contains` (if not empty) must occur in the
  // prompt; the answer must be one of the box's buttons. The box stays open `open_ms` of
  // virtual time, during which timers tick and scripted actions arrive (and are refused, as
  // the box is modal).
  void ExpectMsgBox(int answer, std::string text_contains = {}, int64_t open_ms = 0);
  // The path the next open-file dialog returns ("" = cancelled).
  void ExpectFileDialog(std::string path);
  // Prompts answered so far must have used up the script.
  bool PromptsUsedUp() const { return answers_.empty() && dialog_paths_.empty(); }
  const std::vector<ShownMessageBox>& MessageBoxes() const { return boxes_; }
  const std::vector<FileDialogRequest>& FileDialogs() const { return dialogs_; }
  const std::vector<std::string>& Failures() const { return failures_; }

  // Backend.
  void Attach(Runtime& runtime) override { runtime_ = &runtime; }
  void ProcessEvents() override;
  void WaitForEvents(int64_t max_ms) override;
  int ShowMessageBox(const MessageBoxRequest& request) override;
  std::string ShowFileDialog(const FileDialogRequest& request) override;
  void OnTimerChanged(Timer& timer) override;
  void OnTimerRemoved(Timer& timer) override { schedule_.erase(&timer); }

 private:
  struct Action {
    std::optional<int64_t> at_yield;
    std::optional<int64_t> at_ms;
    std::string what;
    std::function<void()> action;
  };
  struct Answer {
    int answer;
    std::string text_contains;
    int64_t open_ms;
  };

  // Earliest virtual time at which something timed happens; nullopt for none.
  std::optional<int64_t> NextEventMs() const;
  void RunDueActions();
  void RunDueTimers();
  [[noreturn]] void Fail(std::string message);

  Runtime* runtime_ = nullptr;
  int64_t now_ms_ = 0;
  int64_t ms_per_yield_ = 0;
  int64_t wait_limit_ms_ = 60 * 60 * 1000;
  int64_t wait_base_ms_ = 0;
  int64_t yield_count_ = 0;
  // When each active timer ticks next.
  std::map<Timer*, int64_t> schedule_;
  std::deque<Action> actions_;
  std::vector<std::string> delivered_;
  std::deque<Answer> answers_;
  std::deque<std::string> dialog_paths_;
  std::vector<ShownMessageBox> boxes_;
  std::vector<FileDialogRequest> dialogs_;
  std::vector<std::string> failures_;
};

}  // namespace forms
