#pragma once
// The window of one form: a QMainWindow (menu bar, client area) whose widgets are built from
// the form's controls by the generic binders, each placed in its container's widget. The view
// follows the form's own properties (caption, size, state, visibility), turns the user's
// resizing, moving, state changes and closing into the form's User* calls, and keeps its
// bindings in step with controls that the model adds or removes at run time.
//
// Sizes: the form's Width and Height are the outer size (title bar and borders included); the
// window's frame is taken from the window system once known, else from typical values.

#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <memory>
#include <optional>
#include <unordered_map>

#include "forms/form.h"
#include "view/binding.h"
#include "view/design_table.h"

class QAction;

namespace forms {
class MenuItem;
}

namespace view {

class Screen;
class FormView;

// The top-level widget; reports what the user does to the window.
class FormWindow final : public QMainWindow {
 public:
  explicit FormWindow(FormView& view);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  FormView& view_;
};

class FormView final : public QObject, public BindContext {
 public:
  // `design` may be nullptr: every control then takes the defaults.
  FormView(forms::Form& form, const FormDesign* design, Screen& screen);
  ~FormView() override;
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  forms::Form& form() const { return form_; }
  FormWindow* window() const { return window_; }
  // The client area: controls without a container live here.
  QWidget* client() const { return client_; }
  // nullptr when the control has no binding (or no widget, or no action).
  Binding* BindingOf(const forms::Control& control) const;
  QWidget* WidgetOf(const forms::Control& control) const;
  QAction* ActionOf(const forms::MenuItem& item) const;

  // The form loaded (again), was unloaded, shown or hidden.
  void Loaded();
  void Unloaded();
  // Before the window first appears: its modality.
  void PrepareToAppear(bool modal);
  void Shown(bool modal);
  void Hidden();
  void SetRedrawLocked(bool locked);
  // Binds controls added since the last call and drops the bindings of controls gone.
  void Sync();
  // Copies the form's own properties into the window.
  void RefreshForm();
  // The program ended: the window goes away for good.
  void Close();

  // From the window.
  void UserClose();
  void UserResized();
  void UserMoved();
  void UserStateChanged();

  // BindContext.
  QWidget* ContainerWidget(const forms::Control* container) override;
  bool IsAlive(const Binding& binding) const override;
  bool Skinned() const override;
  QMenuBar* MenuBar() override;
  QMenu* MenuOf(const forms::MenuItem& menu) override;
  std::string TypeName(const forms::Control& control) const override;
  QIcon SmallIcon(IconSet set, int number) const override;
  QPixmap Picture(std::string_view name) const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Binding& Bind(forms::Control& control);
  void BindAll();
  void Drop(const forms::Control* control);
  void ApplyGeometry();
  void ApplySkin();
  // The main window, minimised while the program's taskbar switch is off and a tray can bring
  // it back.
  bool OffTheTaskbar() const;
  // Borders and title bar: as the window system last reported them while the window was on
  // screen, else typical ones.
  QMargins Frame() const;
  QSize FrameExtent() const;
  // The client area of the window at the outer size `outer` (pixels).
  QSize ClientSize(QSize outer) const;
  // Takes the frame the window system reports now; true when it is the first one known.
  bool LearnFrame();
  // Put back on screen and not shown yet: the window system reports passing places (the
  // frame's corner) that no user chose.
  bool Reappearing() const;
  // A window without area (the help launcher) shows nothing.
  bool HasArea() const;

  forms::Form& form_;
  const FormDesign* design_;
  Screen& screen_;
  FormWindow* window_;
  QWidget* client_;
  std::unordered_map<const forms::Control*, std::unique_ptr<Binding>> bindings_;
  // Set while the view writes the form's properties into the window.
  int applying_ = 0;
  bool closed_ = false;
  bool torn_down_ = false;
  // What OffTheTaskbar said at the last refresh.
  bool off_taskbar_ = false;
  bool skinned_ = false;
  std::optional<QMargins> frame_;
  // Shown again by the view and not drawn since.
  bool appearing_ = false;
  bool shown_before_ = false;
  // A paint reached the window and its model is yet to hear of it.
  bool paint_pending_ = false;
};

}  // namespace view
