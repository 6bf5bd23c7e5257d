#include "forms/headless_backend.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "forms/runtime.h"
#include "forms/timer.h"
#include "services/prompts.h"

namespace forms {

namespace {

// Whether `answer` is one of the buttons that `style` shows.
bool AnswerFits(int style, int answer) {
  using namespace services;
  switch (style & 7) {
    case vbOKOnly:
      return answer == vbOK;
    case vbOKCancel:
      return answer == vbOK || answer == vbCancel;
    case vbAbortRetryIgnore:
      return answer == vbAbort || answer == vbRetry || answer == vbIgnore;
    case vbYesNoCancel:
      return answer == vbYes || answer == vbNo || answer == vbCancel;
    case vbYesNo:
      return answer == vbYes || answer == vbNo;
    case vbRetryCancel:
      return answer == vbRetry || answer == vbCancel;
    default:
      return false;
  }
}

}  // namespace

void HeadlessBackend::AdvanceMs(int64_t ms) {
  const int64_t target = now_ms_ + std::max<int64_t>(ms, 0);
  while (runtime_ && !runtime_->Ended()) {
    std::optional<int64_t> next = NextEventMs();
    if (!next || *next > target)
      break;
    now_ms_ = std::max(now_ms_, *next);
    ProcessEvents();
  }
  now_ms_ = std::max(now_ms_, target);
  wait_base_ms_ = now_ms_;
}

void HeadlessBackend::AtYield(int yields, std::string what, std::function<void()> action) {
  actions_.push_back(
      Action{yield_count_ + std::max(yields, 1), std::nullopt, std::move(what), std::move(action)});
}

void HeadlessBackend::AtTime(int64_t at_ms, std::string what, std::function<void()> action) {
  actions_.push_back(Action{std::nullopt, at_ms, std::move(what), std::move(action)});
}

void HeadlessBackend::ExpectMsgBox(int answer, std::string text_contains, int64_t open_ms) {
  answers_.push_back(Answer{answer, std::move(text_contains), open_ms});
}

void HeadlessBackend::ExpectFileDialog(std::string path) {
  dialog_paths_.push_back(std::move(path));
}

std::optional<int64_t> HeadlessBackend::NextEventMs() const {
  std::optional<int64_t> next;
  auto consider = [&next](int64_t at) {
    if (!next || at < *next)
      next = at;
  };
  for (const auto& [timer, due] : schedule_)
    consider(due);
  for (const Action& action : actions_) {
    if (action.at_ms)
      consider(*action.at_ms);
  }
  return next;
}

void HeadlessBackend::ProcessEvents() {
  if (!runtime_ || runtime_->Ended())
    return;
  ++yield_count_;
  now_ms_ += ms_per_yield_;
  RunDueActions();
  RunDueTimers();
}

void HeadlessBackend::RunDueActions() {
  std::vector<Action> due;
  for (auto it = actions_.begin(); it != actions_.end();) {
    bool is_due =
        (it->at_yield && *it->at_yield <= yield_count_) || (it->at_ms && *it->at_ms <= now_ms_);
    if (is_due) {
      due.push_back(std::move(*it));
      it = actions_.erase(it);
    } else {
      ++it;
    }
  }
  for (Action& action : due) {
    if (runtime_->Ended())
      return;
    delivered_.push_back(action.what);
    runtime_->Dispatch(action.action);
  }
}

void HeadlessBackend::RunDueTimers() {
  // Due timers in time order, ties in the order the timers were made.
  std::vector<std::tuple<int64_t, size_t, Timer*>> due;
  const std::vector<Timer*>& timers = runtime_->Timers();
  for (size_t i = 0; i < timers.size(); ++i) {
    auto it = schedule_.find(timers[i]);
    if (it != schedule_.end() && it->second <= now_ms_)
      due.emplace_back(it->second, i, timers[i]);
  }
  std::sort(due.begin(), due.end());
  for (const auto& [due_ms, order, timer] : due) {
    if (runtime_->Ended())
      return;
    // An earlier handler may have switched or removed this one.
    auto it = schedule_.find(timer);
    if (it == schedule_.end() || it->second > now_ms_)
      continue;
    if (!runtime_->IsTimerActive(*timer)) {
      schedule_.erase(it);
      continue;
    }
    // One tick however many were missed; the countdown starts again now. A tick that finds
    // the handler still running is dropped by the runtime.
    it->second = now_ms_ + timer->Interval();
    runtime_->FireTimer(*timer);
  }
}

void HeadlessBackend::WaitForEvents(int64_t max_ms) {
  if (!runtime_ || runtime_->Ended())
    return;
  for (const Action& action : actions_) {
    if (action.at_yield)
      return;  // the next pass brings it
  }
  std::optional<int64_t> next = NextEventMs();
  if (!next)
    throw HeadlessStall("a loop waits, but no timer runs and no scripted action is pending");
  int64_t target = *next;
  if (max_ms >= 0)
    target = std::min(target, now_ms_ + max_ms);
  if (target > wait_base_ms_ + wait_limit_ms_)
    throw HeadlessStall("a loop waited past the wait limit of " + std::to_string(wait_limit_ms_) +
                        " ms");
  now_ms_ = std::max(now_ms_, target);
}

int HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
  boxes_.push_back(ShownMessageBox{request.prompt, request.style, request.title, 0});
  if (answers_.empty())
    Fail("unexpected message box \"" + request.prompt + "\"");
  Answer answer = answers_.front();
  answers_.pop_front();
  if (!answer.text_contains.empty() &&
      request.prompt.find(answer.text_contains) == std::string::npos)
    Fail("message box \"" + request.prompt + "\" does not contain \"" + answer.text_contains +
         "\"");
  if (!AnswerFits(request.style, answer.answer))
    Fail("answer " + std::to_string(answer.answer) + " is not a button of message box \"" +
         request.prompt + "\"");
  boxes_.back().answer = answer.answer;
  if (answer.open_ms > 0)
    AdvanceMs(answer.open_ms);
  return answer.answer;
}

std::string HeadlessBackend::ShowFileDialog(const FileDialogRequest& request) {
  dialogs_.push_back(request);
  if (dialog_paths_.empty())
    Fail("unexpected file dialog \"" + request.title + "\"");
  std::string path = std::move(dialog_paths_.front());
  dialog_paths_.pop_front();
  return path;
}

void HeadlessBackend::OnTimerChanged(Timer& timer) {
  if (runtime_ && runtime_->IsTimerActive(timer))
    schedule_[&timer] = now_ms_ + timer.Interval();
  else
    schedule_.erase(&timer);
}

void HeadlessBackend::Fail(std::string message) {
  failures_.push_back(message);
  throw UnexpectedPrompt(message);
}

}  // namespace forms
