#include "view/qt_backend.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "forms/runtime.h"
#include "forms/timer.h"
#include "machine/file_system.h"
#include "services/prompts.h"
#include "view/qt_prompts.h"
#include "view/qt_text.h"
#include "view/x11_title_bar.h"

namespace view {

namespace {

// Short intervals (the splash count, the scheduler check) need the precise timer kind; the
// coarse kind may stretch them by up to 5%.
constexpr int64_t kPreciseBelowMs = 100;

}  // namespace

QtBackend::QtBackend(const machine::FileSystem* files) : files_(files) {
  clock_.start();
  wake_.setSingleShot(true);
}

QtBackend::~QtBackend() {
  if (hourglass_)
    QGuiApplication::restoreOverrideCursor();
}

bool QtBackend::IsTicking(const forms::Timer& timer) const {
  auto it = timers_.find(const_cast<forms::Timer*>(&timer));
  return it != timers_.end() && it->second->isActive();
}

void QtBackend::ProcessEvents() {
  // Long tasks yield after every item, and a full pass costs about 0.1 ms: passes closer
  // together than kMinPassGapMs are skipped, which still leaves the window a pass every few ms.
  if (host_)
    host_->Sync();
  if (last_pass_.isValid() && last_pass_.elapsed() < kMinPassGapMs)
    return;
  last_pass_.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtBackend::WaitForEvents(int64_t max_ms) {
  if (host_)
    host_->Sync();
  if (max_ms >= 0)
    wake_.start(static_cast<int>(std::min<int64_t>(max_ms, INT32_MAX)));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_.stop();
}

QWidget* QtBackend::PromptParent() const {
  return host_ ? host_->ActiveWindow() : nullptr;
}

int QtBackend::ShowMessageBox(const forms::MessageBoxRequest& request) {
  std::unique_ptr<QMessageBox> box = MakeMessageBox(request, PromptParent());
  ApplyX11TitleBar(*box, false);
  box->exec();
  return MessageBoxAnswer(*box);
}

std::string QtBackend::ShowFileDialog(const forms::FileDialogRequest& request) {
  QString start;
  if (files_ && !files_->profile().drives.empty())
    start = QString::fromStdString(files_->profile().drives.front().host_root.string());
  const QString chosen = QFileDialog::getOpenFileName(PromptParent(), ToQString(request.title),
                                                      start, QtFileFilter(request.filter));
  if (chosen.isEmpty())
    return {};
  const std::string host_path = chosen.toStdString();
  if (files_) {
    if (auto windows_path = files_->ToWindowsPath(host_path))
      return *windows_path;
  }
  return host_path;
}

void QtBackend::OnTimerChanged(forms::Timer& timer) {
  std::unique_ptr<QTimer>& qt_timer = timers_[&timer];
  if (!qt_timer) {
    qt_timer = std::make_unique<QTimer>();
    forms::Timer* model_timer = &timer;
    QObject::connect(qt_timer.get(), &QTimer::timeout, this, [this, model_timer] {
      if (runtime_)
        runtime_->FireTimer(*model_timer);
    });
  }
  if (runtime_ && runtime_->IsTimerActive(timer)) {
    // The runtime reports only real changes: each one starts the countdown again.
    qt_timer->setTimerType(timer.Interval() < kPreciseBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    qt_timer->start(static_cast<int>(std::min<int64_t>(timer.Interval(), INT32_MAX)));
  } else {
    qt_timer->stop();
  }
}

void QtBackend::OnTimerRemoved(forms::Timer& timer) {
  timers_.erase(&timer);
}

void QtBackend::OnFormLoaded(forms::Form& form) {
  if (host_)
    host_->FormLoaded(form);
}

void QtBackend::OnFormUnloaded(forms::Form& form) {
  if (host_)
    host_->FormUnloaded(form);
}

void QtBackend::OnFormShown(forms::Form& form, bool modal) {
  if (host_)
    host_->FormShown(form, modal);
}

void QtBackend::OnFormHidden(forms::Form& form) {
  if (host_)
    host_->FormHidden(form);
}

void QtBackend::OnRedrawLock(services::WindowHandle window) {
  if (host_)
    host_->RedrawLock(window);
}

void QtBackend::OnMousePointer(forms::MousePointer pointer) {
  const bool hourglass = pointer == forms::MousePointer::kHourglass;
  if (hourglass == hourglass_)
    return;
  hourglass_ = hourglass;
  if (hourglass)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

void QtBackend::OnProgramEnd() {
  for (auto& [timer, qt_timer] : timers_)
    qt_timer->stop();
  if (host_)
    host_->ProgramEnding();
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  // Leaves the loops that run. Outside any loop there is nothing to leave, and Qt would keep
  // the request and end every loop started later at once, modal boxes among them.
  if (QThread::currentThread()->loopLevel() > 0)
    QCoreApplication::exit(0);
}

}  // namespace view
