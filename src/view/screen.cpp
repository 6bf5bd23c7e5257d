#include "view/screen.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

#include "view/design_table.h"
#include "view/twips.h"

namespace view {

Screen::Screen(QtBackend& backend, forms::Runtime& runtime, const model::SkinState* skin)
    : backend_(backend), runtime_(runtime), skin_(skin) {
  backend_.SetWindowHost(this);
  SubstituteFonts();
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Sync(); });
  for (forms::Form* form : runtime_.Forms()) {
    if (form->Loaded())
      FormLoaded(*form);
  }
}

Screen::~Screen() {
  backend_.SetWindowHost(nullptr);
  views_.clear();
}

FormView* Screen::ViewOf(const forms::Form& form) const {
  auto it = views_.find(&form);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* Screen::WidgetOf(const forms::Control& control) const {
  FormView* view = ViewOf(control.form());
  return view ? view->WidgetOf(control) : nullptr;
}

FormView& Screen::ViewFor(forms::Form& form) {
  std::unique_ptr<FormView>& view = views_[&form];
  if (!view)
    view = std::make_unique<FormView>(form, FindFormDesign(form.name()), *this);
  return *view;
}

bool Screen::TrayAvailable() const {
  return tray_available ? tray_available() : QSystemTrayIcon::isSystemTrayAvailable();
}

bool Screen::IsSkinned(const forms::Form& form) const {
  return skin_ && skin_->objSkin && skin_->objSkin->IsSkinned(form.hWnd());
}

const QString& Screen::StyleSheet() {
  if (!style_sheet_) {
    if (skin_ && skin_->objSkin)
      style_sheet_ = LoadStyleSheet(skin_->objSkin->StyleSheet(), skin_->objSkin->Colors());
    else
      style_sheet_ = StyleSheetFromColors(model::kDefaultSkinColors);
    *style_sheet_ += ViewStyleSheet();
  }
  return *style_sheet_;
}

QIcon Screen::WindowIcon(std::string_view name) {
  const QPixmap picture = resources_.Picture(name.empty() ? std::string_view("program") : name);
  return picture.isNull() ? QIcon() : QIcon(picture);
}

void Screen::FormLoaded(forms::Form& form) {
  ViewFor(form).Loaded();
}

void Screen::FormUnloaded(forms::Form& form) {
  if (FormView* view = ViewOf(form))
    view->Unloaded();
}

void Screen::FormShown(forms::Form& form, bool modal) {
  FormView& view = ViewFor(form);
  // A window is placed before it appears: a window manager places a window that appears without
  // a position of its own where it likes and keeps it there. Placing moves the model, which
  // redraws the window, so it must be modal before then.
  if (!view.window()->isVisible()) {
    view.PrepareToAppear(modal);
    PlaceOverOwner(view);
  }
  view.Shown(modal);
}

void Screen::PlaceOverOwner(FormView& view) {
  const FormDesign* design = FindFormDesign(view.form().name());
  if (!design)
    return;
  // Positions are the windows' outer corners, as the models keep them. A window that appears
  // minimised (a start in the tray) is placed where it comes back at normal size.
  forms::Form& form = view.form();
  const auto centre_on = [&form](const QRect& over) {
    const QPoint corner = over.center() - QPoint(TwipsToPixels(form.NormalWidth()) / 2,
                                                 TwipsToPixels(form.NormalHeight()) / 2);
    form.PlaceNormal(PixelsToTwips(corner.x()), PixelsToTwips(corner.y()));
  };
  const bool first_time = design->centred_on_screen_once && placed_once_.insert(&form).second;
  if (design->centred_on_screen || first_time) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      centre_on(screen->availableGeometry());
    return;
  }
  if (design->centred_over.empty())
    return;
  for (const auto& [owner_form, owner] : views_) {
    if (owner_form->name() != design->centred_over || !owner->window()->isVisible())
      continue;
    centre_on(owner->window()->frameGeometry());
    return;
  }
}

void Screen::FormHidden(forms::Form& form) {
  if (FormView* view = ViewOf(form))
    view->Hidden();
}

void Screen::RedrawLock(services::WindowHandle window) {
  if (locked_)
    locked_->SetRedrawLocked(false);
  locked_ = nullptr;
  if (forms::Form* form = runtime_.FindForm(window)) {
    if (FormView* view = ViewOf(*form)) {
      view->SetRedrawLocked(true);
      locked_ = view;
    }
  }
}

void Screen::Sync() {
  for (auto& [form, view] : views_) {
    if (form->Loaded())
      view->Sync();
  }
}

void Screen::ProgramEnding() {
  for (auto& [form, view] : views_)
    view->Close();
}

QWidget* Screen::ActiveWindow() const {
  QWidget* active = QApplication::activeWindow();
  for (const auto& [form, view] : views_) {
    if (view->window() == active)
      return active;
  }
  if (const forms::Form* main = runtime_.MainForm()) {
    if (FormView* view = ViewOf(*main); view && view->window()->isVisible())
      return view->window();
  }
  return nullptr;
}

}  // namespace view
