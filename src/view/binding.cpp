#include "view/binding.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>

#include "forms/form.h"
#include "forms/runtime.h"
#include "view/qt_text.h"
#include "view/twips.h"

namespace view {

namespace {

// The face and size a window gets when its design leaves the model's default font.
constexpr std::string_view kDefaultFamily = "MS Sans Serif";
constexpr double kDefaultSize = 8.25;

const char* RoleName(Role role) {
  switch (role) {
    case Role::kPlain:
      return "plain";
    case Role::kLink:
      return "link";
    case Role::kHeading:
      return "heading";
    case Role::kValue:
      return "value";
    case Role::kNavigation:
      return "navigation";
    case Role::kPage:
      return "page";
    case Role::kPanel:
      return "panel";
    case Role::kGroup:
      return "group";
    case Role::kTitle:
      return "title";
    case Role::kCloseBox:
      return "closebox";
  }
  return "plain";
}

QString ObjectName(const forms::Control& control) {
  if (control.index() == forms::Control::kNoIndex)
    return ToQString(control.name());
  return ToQString(control.name()) + QLatin1Char('_') + QString::number(control.index());
}

forms::MouseEvent ToMouseEvent(const QMouseEvent& event) {
  forms::MouseEvent out;
  const Qt::MouseButtons buttons =
      event.type() == QEvent::MouseMove ? event.buttons() : Qt::MouseButtons(event.button());
  if (buttons & Qt::LeftButton)
    out.button |= forms::kLeftButton;
  if (buttons & Qt::RightButton)
    out.button |= forms::kRightButton;
  if (buttons & Qt::MiddleButton)
    out.button |= forms::kMiddleButton;
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if (modifiers & Qt::ShiftModifier)
    out.shift |= forms::kShiftMask;
  if (modifiers & Qt::ControlModifier)
    out.shift |= forms::kCtrlMask;
  if (modifiers & Qt::AltModifier)
    out.shift |= forms::kAltMask;
  const QPoint position = event.position().toPoint();
  out.x = PixelsToTwips(position.x());
  out.y = PixelsToTwips(position.y());
  return out;
}

}  // namespace

QRect PixelRect(const forms::Control& control) {
  return QRect(TwipsToPixels(control.Left()), TwipsToPixels(control.Top()),
               std::max(0, TwipsToPixels(control.Width())),
               std::max(0, TwipsToPixels(control.Height())));
}

QColor ToQColor(forms::Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

Binding::Binding(forms::Control& control, BindContext& context, const ControlDesign& design)
    : control_(control), context_(context), design_(design) {}

Binding::~Binding() {
  if (widget_) {
    widget_->removeEventFilter(this);
    widget_->hide();
    widget_->deleteLater();
  }
}

void Binding::Build() {
  QWidget* widget = CreateWidget(context_.ContainerWidget(control_.Container()));
  if (widget) {
    widget_ = widget;
    widget->setObjectName(ObjectName(control_));
    widget->setProperty("hgRole", QString::fromLatin1(RoleName(design_.role)));
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
  }
  control_.observer = [this](forms::Control&) { Refresh(); };
  Refresh();
}

void Binding::Detach() {
  control_.observer = nullptr;
}

void Binding::Refresh() {
  UpdateScope scope(*this);
  RefreshCommon();
  RefreshKind();
}

void Binding::RefreshCommon() {
  QWidget* widget = widget_;
  if (!widget)
    return;
  QWidget* parent = context_.ContainerWidget(control_.Container());
  if (parent && widget->parentWidget() != parent)
    widget->setParent(parent);

  const QString type_name = ToQString(context_.TypeName(control_));
  if (type_name != applied_type_) {
    applied_type_ = type_name;
    widget->setProperty("hgType", type_name);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
  }

  QRect rect = PixelRect(control_);
  if (rect.width() == 0 && rect.height() == 0 && design_.place) {
    const Rect& place = *design_.place;
    rect = QRect(TwipsToPixels(place.left), TwipsToPixels(place.top), TwipsToPixels(place.width),
                 TwipsToPixels(place.height));
  }
  if (widget->geometry() != rect)
    widget->setGeometry(rect);
  widget->setEnabled(control_.Enabled());
  const QFont font = MakeFont();
  if (applied_font_ != font) {
    applied_font_ = font;
    widget->setFont(font);
  }
  const QString tooltip = ToQString(control_.ToolTip());
  if (widget->toolTip() != tooltip)
    widget->setToolTip(tooltip);
  if (UsesColors())
    ApplyColors();
  if (widget->isHidden() == control_.Visible())
    widget->setVisible(control_.Visible());
}

void Binding::ApplyColors() {
  // Colours set by the program; the defaults leave the look to the style (or the skin).
  const QString id = QLatin1Char('#') + widget_->objectName();
  QString style;
  // A widget's own sheet outranks its window's: the colour is the enabled look only, so that a
  // disabled control shows the window's disabled look.
  if (control_.ForeColor() != forms::kBlack)
    style +=
        QStringLiteral("%1:enabled { color: %2; }").arg(id, ToQColor(control_.ForeColor()).name());
  // Under the skin the style sheet draws the backgrounds.
  if (!context_.Skinned() && control_.BackColor() != forms::kButtonFace)
    style += QStringLiteral("%1 { background-color: %2; }")
                 .arg(id, ToQColor(control_.BackColor()).name());
  if (style != applied_style_) {
    applied_style_ = style;
    widget_->setStyleSheet(style);
  }
}

QFont Binding::MakeFont() const {
  const forms::Font& model = control_.GetFont();
  const bool default_face = model.name == kDefaultFamily;
  const bool default_size = model.size == kDefaultSize;
  std::string_view family = model.name;
  double size = model.size;
  bool bold = model.bold;
  if (design_.font) {
    if (default_face && !design_.font->family.empty())
      family = design_.font->family;
    if (default_size && design_.font->size > 0)
      size = design_.font->size;
    bold = bold || design_.font->bold;
  }
  QFont font(ToQString(family));
  font.setPointSizeF(size);
  font.setBold(bold);
  font.setItalic(model.italic);
  font.setUnderline(model.underline);
  return font;
}

void Binding::UserAction(const std::function<void()>& action) {
  if (!context_.IsAlive(*this))
    return;
  action();
  if (context_.IsAlive(*this))
    Refresh();
}

bool Binding::KeyTyped(int key_ascii) {
  UserAction([this, key_ascii] { control_.UserKeyPress(key_ascii); });
  return false;
}

bool Binding::eventFilter(QObject* watched, QEvent* event) {
  // The control may be gone already (the view learns of it at the next pass of the loop).
  if (watched != widget_ || Updating() || !context_.IsAlive(*this))
    return false;
  forms::Control& c = control_;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      press_inside_ = mouse->button() == Qt::LeftButton;
      if (c.on_mouse_down)
        UserAction([&c, e = ToMouseEvent(*mouse)] { c.UserMouseDown(e); });
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const bool click = press_inside_ && mouse->button() == Qt::LeftButton &&
                         widget_->rect().contains(mouse->position().toPoint());
      press_inside_ = false;
      if (c.on_mouse_up)
        UserAction([&c, e = ToMouseEvent(*mouse)] { c.UserMouseUp(e); });
      if (click && SynthesizesClick() && c.on_click)
        UserAction([&c] { c.UserClick(); });
      break;
    }
    case QEvent::MouseButtonDblClick:
      if (c.on_dbl_click)
        UserAction([&c] { c.UserDblClick(); });
      break;
    case QEvent::MouseMove:
      // Moves over a control the user cannot reach would only pile up refusals.
      if (c.on_mouse_move && c.Reachable() && !c.runtime().BlocksUserInput(c.form())) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        UserAction([&c, e = ToMouseEvent(*mouse)] { c.UserMouseMove(e); });
      }
      break;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (!c.on_key_press || key->text().isEmpty())
        break;
      const QString first = key->text().left(1);
      const std::string typed = FromQString(first);
      // A character the program's code page lacks is left to the widget.
      if (typed.empty() || (typed == "?" && first != QLatin1String("?")))
        break;
      return KeyTyped(static_cast<unsigned char>(typed[0]));
    }
    default:
      break;
  }
  return false;
}

}  // namespace view
