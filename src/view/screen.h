#pragma once
// The program's windows on screen: one FormView per form, made when the form first loads and
// kept (hidden) after it unloads, each built from the form's design table. The screen is the Qt
// backend's WindowHost; it also brings bindings in step with controls the model adds or
// removes, each time the event loop is about to wait.
//
// Make it after the forms (it binds those already loaded) and destroy it before them.

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "forms/runtime.h"
#include "model/skin_control.h"
#include "view/form_view.h"
#include "view/qt_backend.h"
#include "view/resources.h"
#include "view/window_host.h"

namespace view {

class Screen final : public QObject, public WindowHost {
 public:
  // Becomes `backend`'s window host until destroyed. `skin` (the application's skin state)
  // decides which windows the style sheet draws; nullptr draws every window plainly.
  Screen(QtBackend& backend, forms::Runtime& runtime, const model::SkinState* skin = nullptr);
  ~Screen() override;

  // The view of a form; nullptr until the form first loaded.
  FormView* ViewOf(const forms::Form& form) const;
  // A control's widget; nullptr when it has none (yet).
  QWidget* WidgetOf(const forms::Control& control) const;

  bool IsSkinned(const forms::Form& form) const;
  // A tray on the desktop can bring back a window that has no taskbar button. Tests may set
  // `tray_available`; empty asks the desktop.
  bool TrayAvailable() const;
  std::function<bool()> tray_available;
  // The skin's style sheet, read once.
  const QString& StyleSheet();
  QIcon WindowIcon(std::string_view name);
  Resources& resources() { return resources_; }

  // WindowHost.
  void FormLoaded(forms::Form& form) override;
  void FormUnloaded(forms::Form& form) override;
  void FormShown(forms::Form& form, bool modal) override;
  void FormHidden(forms::Form& form) override;
  void RedrawLock(services::WindowHandle window) override;
  void Sync() override;
  void ProgramEnding() override;
  QWidget* ActiveWindow() const override;

 private:
  FormView& ViewFor(forms::Form& form);
  // A window whose design names a window to open over is centred on it while that one shows;
  // one whose design says so is centred on the screen.
  void PlaceOverOwner(FormView& view);

  QtBackend& backend_;
  forms::Runtime& runtime_;
  const model::SkinState* skin_;
  Resources resources_;
  std::map<const forms::Form*, std::unique_ptr<FormView>> views_;
  // Windows already placed by a first-appearance rule.
  std::set<const forms::Form*> placed_once_;
  std::optional<QString> style_sheet_;
  FormView* locked_ = nullptr;
};

}  // namespace view
