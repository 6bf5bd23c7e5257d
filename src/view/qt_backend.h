#pragma once
// The form runtime on Qt: one QTimer per model timer, kept in step with its enabled state and
// interval; a yield is one processEvents pass; prompts are QMessageBox and QFileDialog; the
// program ends through QCoreApplication::exit. Window notices go to the WindowHost (the screen).
//
// Build order: QApplication, QtBackend, Runtime, the application's forms, the Screen; tear down
// in reverse.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "forms/backend.h"
#include "view/window_host.h"

namespace machine {
class FileSystem;
}

namespace view {

class QtBackend final : public QObject, public forms::Backend {
 public:
  // `files` maps the file dialog's host paths to the program's drives; nullptr hands back host
  // paths as they are (tests).
  explicit QtBackend(const machine::FileSystem* files = nullptr);
  ~QtBackend() override;

  void SetWindowHost(WindowHost* host) { host_ = host; }
  // Whether the model timer's QTimer runs, and at what interval (tests and diagnostics).
  bool IsTicking(const forms::Timer& timer) const;

  // forms::Backend.
  void Attach(forms::Runtime& runtime) override { runtime_ = &runtime; }
  int64_t NowMs() const override { return clock_.elapsed(); }
  void ProcessEvents() override;
  void WaitForEvents(int64_t max_ms) override;
  int ShowMessageBox(const forms::MessageBoxRequest& request) override;
  std::string ShowFileDialog(const forms::FileDialogRequest& request) override;
  void OnTimerChanged(forms::Timer& timer) override;
  void OnTimerRemoved(forms::Timer& timer) override;
  void OnFormLoaded(forms::Form& form) override;
  void OnFormUnloaded(forms::Form& form) override;
  void OnFormShown(forms::Form& form, bool modal) override;
  void OnFormHidden(forms::Form& form) override;
  void OnRedrawLock(services::WindowHandle window) override;
  void OnMousePointer(forms::MousePointer pointer) override;
  void OnProgramEnd() override;

 private:
  QWidget* PromptParent() const;

  const machine::FileSystem* files_;
  forms::Runtime* runtime_ = nullptr;
  WindowHost* host_ = nullptr;
  static constexpr int64_t kMinPassGapMs = 2;

  QElapsedTimer clock_;
  QElapsedTimer last_pass_;
  std::map<forms::Timer*, std::unique_ptr<QTimer>> timers_;
  QTimer wake_;
  bool hourglass_ = false;
};

}  // namespace view
