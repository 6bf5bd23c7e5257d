#include "view/form_view.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <limits>
#include <unordered_set>

#include "forms/menu_item.h"
#include "forms/runtime.h"
#include "model/window.h"
#include "view/binders.h"
#include "view/qt_text.h"
#include "view/screen.h"
#include "view/twips.h"
#include "view/x11_title_bar.h"

namespace view {

namespace {

// Borders and title bar of a window whose frame the window system has not reported yet.
const QMargins kTypicalFrame(4, 26, 4, 4);
// Containers nest a few levels deep; a deeper chain is a loop in the model.
constexpr int kMaxNesting = 32;

const ControlDesign& NoDesign() {
  static const ControlDesign none;
  return none;
}

Qt::WindowStates ToQtState(forms::WindowState state) {
  switch (state) {
    case forms::WindowState::kMinimized:
      return Qt::WindowMinimized;
    case forms::WindowState::kMaximized:
      return Qt::WindowMaximized;
    case forms::WindowState::kNormal:
      break;
  }
  return Qt::WindowNoState;
}

forms::WindowState FromQtState(Qt::WindowStates state) {
  if (state & Qt::WindowMinimized)
    return forms::WindowState::kMinimized;
  if (state & Qt::WindowMaximized)
    return forms::WindowState::kMaximized;
  return forms::WindowState::kNormal;
}

forms::MouseEvent FormMouseEvent(const QMouseEvent& event) {
  forms::MouseEvent out;
  const Qt::MouseButtons buttons =
      event.type() == QEvent::MouseMove ? event.buttons() : Qt::MouseButtons(event.button());
  if (buttons & Qt::LeftButton)
    out.button |= forms::kLeftButton;
  if (buttons & Qt::RightButton)
    out.button |= forms::kRightButton;
  if (buttons & Qt::MiddleButton)
    out.button |= forms::kMiddleButton;
  if (event.modifiers() & Qt::ShiftModifier)
    out.shift |= forms::kShiftMask;
  if (event.modifiers() & Qt::ControlModifier)
    out.shift |= forms::kCtrlMask;
  if (event.modifiers() & Qt::AltModifier)
    out.shift |= forms::kAltMask;
  out.x = PixelsToTwips(event.position().toPoint().x());
  out.y = PixelsToTwips(event.position().toPoint().y());
  return out;
}

}  // namespace

FormWindow::FormWindow(FormView& view) : view_(view) {}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The form decides: its unload hides the window.
  event->ignore();
  view_.UserClose();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  view_.UserResized();
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  view_.UserMoved();
}

void FormWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange)
    view_.UserStateChanged();
}

FormView::FormView(forms::Form& form, const FormDesign* design, Screen& screen)
    : form_(form), design_(design), screen_(screen) {
  window_ = new FormWindow(*this);
  window_->setObjectName(ToQString(form.name()));
  client_ = new QWidget(window_);
  client_->setObjectName(QStringLiteral("client"));
  client_->setMouseTracking(true);
  client_->installEventFilter(this);
  window_->setCentralWidget(client_);
  if (design_ && !design_->title_bar)
    window_->setWindowFlag(Qt::FramelessWindowHint);
  else if (design_ && !design_->min_max_buttons)
    window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  form_.observer = [this](forms::Form&) { RefreshForm(); };
}

FormView::~FormView() {
  // From here on no widget signal reaches the model.
  torn_down_ = true;
  form_.observer = nullptr;
  const auto& controls = form_.Controls();
  const std::unordered_set<const forms::Control*> live(controls.begin(), controls.end());
  for (auto& [control, binding] : bindings_) {
    if (live.count(control))
      binding->Detach();
  }
  delete window_;
  bindings_.clear();
}

Binding* FormView::BindingOf(const forms::Control& control) const {
  auto it = bindings_.find(&control);
  return it == bindings_.end() ? nullptr : it->second.get();
}

QWidget* FormView::WidgetOf(const forms::Control& control) const {
  Binding* binding = BindingOf(control);
  return binding ? binding->widget() : nullptr;
}

QAction* FormView::ActionOf(const forms::MenuItem& item) const {
  Binding* binding = BindingOf(static_cast<const forms::Control&>(item));
  return binding ? ActionOfBinding(*binding) : nullptr;
}

Binding& FormView::Bind(forms::Control& control) {
  if (Binding* existing = BindingOf(control))
    return *existing;
  // Containers first, so that the control's widget has its parent.
  int depth = 0;
  for (forms::Control* c = control.Container(); c && depth < kMaxNesting;
       c = c->Container(), ++depth) {
    if (!BindingOf(*c)) {
      Bind(*c);
      break;
    }
  }
  const ControlDesign* design = design_ ? design_->Find(control.name(), control.index()) : nullptr;
  std::unique_ptr<Binding> made = MakeBinding(control, *this, design ? *design : NoDesign());
  Binding& binding = *made;
  bindings_[&control] = std::move(made);
  binding.Build();
  return binding;
}

void FormView::BindAll() {
  // Copy: binding may not add controls, but the model could in a handler run by a refresh.
  const std::vector<forms::Control*> controls = form_.Controls();
  for (forms::Control* control : controls)
    Bind(*control);
}

void FormView::Drop(const forms::Control* control) {
  auto it = bindings_.find(control);
  if (it == bindings_.end())
    return;
  // Not now: the drop may happen under one of the binding's own signals.
  it->second.release()->deleteLater();
  bindings_.erase(it);
}

void FormView::Sync() {
  // A window may be skinned after it appeared (the notification shows itself in its load).
  ApplySkin();
  // The frame is known once the window manager has framed the window: the size and minimum
  // taken with a typical frame are put right at once, before the user can change the state.
  if (LearnFrame())
    ApplyGeometry();
  // The taskbar switch changes without a notice to the form.
  if (OffTheTaskbar() != off_taskbar_)
    RefreshForm();
  const auto& controls = form_.Controls();
  bool dirty = controls.size() != bindings_.size();
  for (size_t i = 0; !dirty && i < controls.size(); ++i)
    dirty = !controls[i]->observer;
  if (!dirty)
    return;
  const std::unordered_set<const forms::Control*> live(controls.begin(), controls.end());
  std::vector<const forms::Control*> gone;
  for (const auto& [control, binding] : bindings_) {
    if (!live.count(control))
      gone.push_back(control);
  }
  for (const forms::Control* control : gone)
    Drop(control);
  // A live control without an observer is new, even when a gone one had its address.
  const std::vector<forms::Control*> current = controls;
  for (forms::Control* control : current) {
    if (!control->observer) {
      Drop(control);
      Bind(*control);
    }
  }
}

void FormView::Loaded() {
  if (bindings_.empty())
    BindAll();
  else
    Sync();
  closed_ = false;
  for (auto& [control, binding] : bindings_)
    binding->Refresh();
  RefreshForm();
}

void FormView::Unloaded() {
  window_->setWindowModality(Qt::NonModal);
  RefreshForm();
}

void FormView::PrepareToAppear(bool modal) {
  window_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
}

void FormView::Shown(bool modal) {
  if (!window_->isVisible())
    PrepareToAppear(modal);
  RefreshForm();
}

void FormView::Hidden() {
  RefreshForm();
  window_->setWindowModality(Qt::NonModal);
}

void FormView::SetRedrawLocked(bool locked) {
  window_->setUpdatesEnabled(!locked);
}

void FormView::Close() {
  closed_ = true;
  window_->hide();
}

QMargins FormView::Frame() const {
  if (window_->windowFlags().testFlag(Qt::FramelessWindowHint))
    return QMargins();
  return frame_.value_or(kTypicalFrame);
}

QSize FormView::FrameExtent() const {
  const QMargins frame = Frame();
  return QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

bool FormView::LearnFrame() {
  // Learnt once, at normal size: a hidden window has no frame (the window manager takes it away
  // with the window), and while a window is maximised or on its way back the window manager
  // frames it otherwise.
  if (frame_ || !window_->isVisible() || window_->windowState() != Qt::WindowNoState ||
      form_.GetWindowState() != forms::WindowState::kNormal ||
      window_->windowFlags().testFlag(Qt::FramelessWindowHint))
    return false;
  const QRect outer = window_->frameGeometry();
  const QRect inner = window_->geometry();
  const QMargins reported(inner.left() - outer.left(), inner.top() - outer.top(),
                          outer.right() - inner.right(), outer.bottom() - inner.bottom());
  if (reported.isNull())
    return false;
  frame_ = reported;
  return true;
}

bool FormView::Reappearing() const {
  const QWindow* handle = window_->windowHandle();
  return appearing_ && !(handle && handle->isExposed());
}

bool FormView::HasArea() const {
  return form_.Width() > 0 && form_.Height() > 0;
}

QSize FormView::ClientSize(QSize outer) const {
  const QSize inner = (outer - FrameExtent()).expandedTo(QSize(1, 1));
  if (design_ && design_->resizable)
    return inner;
  // A fixed window's design left room for a thinner frame than some window managers draw: it
  // keeps every control whole, with the design's narrowest edge margin right and below.
  QRect extent;
  int margin = std::numeric_limits<int>::max();
  for (const forms::Control* control : form_.Controls()) {
    const QRect rect = PixelRect(*control);
    if (control->Container() || rect.isEmpty())
      continue;
    extent |= rect;
    margin = std::min({margin, rect.left(), rect.top()});
  }
  if (extent.isEmpty())
    return inner;
  return inner.expandedTo(QSize(extent.right() + 1 + margin, extent.bottom() + 1 + margin));
}

void FormView::ApplyGeometry() {
  // The window system sizes a minimised or maximised window; a minimum changed meanwhile would
  // resize it, and the window manager would drop the new state.
  if (form_.GetWindowState() != forms::WindowState::kNormal)
    return;
  ++applying_;
  if (design_ && design_->min_width > 0 && design_->min_height > 0) {
    const QSize outer(TwipsToPixels(design_->min_width), TwipsToPixels(design_->min_height));
    const QSize minimum = (outer - FrameExtent()).expandedTo(QSize(1, 1));
    if (window_->minimumSize() != minimum)
      window_->setMinimumSize(minimum);
  }
  const QSize inner =
      ClientSize(QSize(TwipsToPixels(form_.Width()), TwipsToPixels(form_.Height())));
  const QPoint corner(TwipsToPixels(form_.Left()), TwipsToPixels(form_.Top()));
  if (design_ && !design_->resizable)
    window_->setFixedSize(inner);
  if (frame_) {
    // Placed by its client area, which the window manager keeps where it is put: a hidden
    // window has no frame for Qt to reckon its corner from.
    const QRect client(corner + QPoint(frame_->left(), frame_->top()), inner);
    if (window_->geometry() != client || !window_->isVisible())
      window_->setGeometry(client);
  } else {
    // Never framed yet: the window manager puts the frame's corner where asked.
    if (window_->size() != inner)
      window_->resize(inner);
    if (window_->pos() != corner)
      window_->move(corner);
  }
  --applying_;
}

void FormView::ApplySkin() {
  const bool skinned = screen_.IsSkinned(form_);
  if (skinned == skinned_)
    return;
  skinned_ = skinned;
  window_->setStyleSheet(skinned ? screen_.StyleSheet() : QString());
  // Colours set by the program show differently under the skin.
  for (auto& [control, binding] : bindings_)
    binding->Refresh();
}

bool FormView::OffTheTaskbar() const {
  return form_.IsMainWindow() && !form_.runtime().TaskVisible() &&
         form_.GetWindowState() == forms::WindowState::kMinimized && screen_.TrayAvailable();
}

void FormView::RefreshForm() {
  ++applying_;
  const QString title = ToQString(form_.Caption());
  const bool retitled = window_->windowTitle() != title;
  if (retitled)
    window_->setWindowTitle(title);
  window_->setWindowIcon(screen_.WindowIcon(form_.Icon()));
  ApplySkin();

  // A minimised window without its taskbar button is reached through its tray icon only: it is
  // kept off the screen, which on X11 is what such a window amounts to. (A tool window would
  // do the same, but changing a window's kind makes a new native window, which a window
  // manager may keep iconified when it is restored.)
  off_taskbar_ = OffTheTaskbar();
  const bool want_visible =
      !closed_ && form_.Loaded() && form_.Visible() && !off_taskbar_ && HasArea();
  const bool top_most = form_.TopMost();
  if (window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != top_most)
    window_->setWindowFlag(Qt::WindowStaysOnTopHint, top_most);  // hides the window
  if (want_visible) {
    // Compared as the model sees it: Qt marks a window minimised from maximised as both, and
    // setting plain "minimised" would map it again and drop the maximise under the window
    // manager's iconify.
    if (FromQtState(window_->windowState()) != form_.GetWindowState())
      window_->setWindowState(ToQtState(form_.GetWindowState()));
    ApplyGeometry();
    if (retitled || !window_->isVisible())
      ApplyX11TitleBar(*window_, !design_ || design_->min_max_buttons);
    if (!window_->isVisible()) {
      appearing_ = shown_before_;
      shown_before_ = true;
      window_->show();
      // Some window systems frame a window as it appears.
      if (LearnFrame())
        ApplyGeometry();
    }
  } else if (window_->isVisible()) {
    window_->hide();
  }
  --applying_;
}

void FormView::UserClose() {
  if (!closed_ && form_.Loaded())
    form_.UserClose();
}

void FormView::UserResized() {
  if (applying_ || closed_ || !form_.Loaded() || window_->isMinimized() || Reappearing())
    return;
  // Framed just now: the model's size stands, taken with the true frame.
  if (LearnFrame()) {
    ApplyGeometry();
    return;
  }
  if (window_->size() ==
      ClientSize(QSize(TwipsToPixels(form_.Width()), TwipsToPixels(form_.Height()))))
    return;
  const QSize outer = window_->size() + FrameExtent();
  if (!form_.UserResize(PixelsToTwips(outer.width()), PixelsToTwips(outer.height())))
    QTimer::singleShot(0, this, [this] { RefreshForm(); });
}

void FormView::UserMoved() {
  if (applying_ || closed_ || !form_.Loaded() || window_->isMinimized() || Reappearing())
    return;
  if (LearnFrame()) {
    ApplyGeometry();
    return;
  }
  const QPoint position = window_->geometry().topLeft() - QPoint(Frame().left(), Frame().top());
  if (position.x() == TwipsToPixels(form_.Left()) && position.y() == TwipsToPixels(form_.Top()))
    return;
  if (!form_.UserMove(PixelsToTwips(position.x()), PixelsToTwips(position.y())))
    QTimer::singleShot(0, this, [this] { RefreshForm(); });
}

void FormView::UserStateChanged() {
  if (applying_ || closed_ || !form_.Loaded())
    return;
  const forms::WindowState state = FromQtState(window_->windowState());
  if (state == form_.GetWindowState())
    return;
  if (!form_.UserSetWindowState(state))
    QTimer::singleShot(0, this, [this] { RefreshForm(); });
}

QWidget* FormView::ContainerWidget(const forms::Control* container) {
  if (!container)
    return client_;
  Binding* binding = BindingOf(*container);
  if (!binding)
    binding = &Bind(*const_cast<forms::Control*>(container));
  QWidget* area = binding->ChildArea();
  return area ? area : client_;
}

bool FormView::IsAlive(const Binding& binding) const {
  if (torn_down_)
    return false;
  auto it = bindings_.find(&binding.control());
  if (it == bindings_.end() || it->second.get() != &binding)
    return false;
  const auto& controls = form_.Controls();
  return std::find(controls.begin(), controls.end(), &binding.control()) != controls.end();
}

bool FormView::Skinned() const {
  return skinned_;
}

QMenuBar* FormView::MenuBar() {
  return window_->menuBar();
}

QMenu* FormView::MenuOf(const forms::MenuItem& menu) {
  const auto& control = static_cast<const forms::Control&>(menu);
  Binding* binding = BindingOf(control);
  if (!binding)
    binding = &Bind(const_cast<forms::Control&>(control));
  return MenuOfBinding(*binding);
}

std::string FormView::TypeName(const forms::Control& control) const {
  if (const auto* window = dynamic_cast<const model::Window*>(&form_))
    return window->TypeName(control);
  return model::KindTypeName(control.kind());
}

QIcon FormView::SmallIcon(IconSet set, int number) const {
  return screen_.resources().SmallIcon(set, number);
}

QPixmap FormView::Picture(std::string_view name) const {
  return screen_.resources().Picture(name);
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != client_ || closed_ || !form_.Loaded())
    return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      form_.UserMouseDown(FormMouseEvent(*static_cast<QMouseEvent*>(event)));
      break;
    case QEvent::MouseButtonRelease:
      form_.UserMouseUp(FormMouseEvent(*static_cast<QMouseEvent*>(event)));
      break;
    case QEvent::Paint:
      appearing_ = false;
      // After the paint, once: a handler that moves controls must not do so inside it.
      if (const auto* window = dynamic_cast<const model::Window*>(&form_);
          window && window->on_paint && !paint_pending_) {
        paint_pending_ = true;
        QTimer::singleShot(0, this, [this] {
          paint_pending_ = false;
          if (!closed_ && form_.Loaded())
            form_.Painted();
        });
      }
      break;
    case QEvent::MouseMove: {
      // Only a window that listens gets moves: the rest would only pile up refusals.
      const auto* window = dynamic_cast<const model::Window*>(&form_);
      if (window && window->on_mouse_move && !form_.runtime().BlocksUserInput(form_))
        form_.UserMouseMove(FormMouseEvent(*static_cast<QMouseEvent*>(event)));
      break;
    }
    default:
      break;
  }
  return false;
}

}  // namespace view
