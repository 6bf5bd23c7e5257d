#pragma once
// A binding ties one control of a window model to its widget: it makes the widget, copies the
// model's state into it whenever the model reports a change, and turns the user's input into
// the control's User* calls. Only user input goes back: while a binding writes the model's
// state into its widget it ignores the widget's signals, and after every user action it copies
// the model's state back, so a refused action leaves the widget as the model is.
//
// The binding never outlives its window view; the control may go first (a control-array element
// unloaded by the model), so every user action first asks the context whether the control is
// still there, and the destructor never touches the control.

#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "forms/control.h"
#include "view/design_table.h"

class QMenu;
class QMenuBar;

namespace forms {
class MenuItem;
}

namespace view {

class Binding;

// What a binding needs from the window view that holds it.
class BindContext {
 public:
  virtual ~BindContext() = default;
  // The widget that children of `container` live in (the window's client area for nullptr).
  virtual QWidget* ContainerWidget(const forms::Control* container) = 0;
  // True while `binding` is the live binding of a control that still exists.
  virtual bool IsAlive(const Binding& binding) const = 0;
  // Whether the skin's style sheet draws the window.
  virtual bool Skinned() const = 0;
  // The window's menu bar (made on first use).
  virtual QMenuBar* MenuBar() = 0;
  // The popup menu that holds the items of `menu`; nullptr when `menu` is not bound as one.
  virtual QMenu* MenuOf(const forms::MenuItem& menu) = 0;
  // The control's type as its window's design names it ("Label", "SkinLabel", "PictureBox"...).
  virtual std::string TypeName(const forms::Control& control) const = 0;
  virtual QIcon SmallIcon(IconSet set, int number) const = 0;
  virtual QPixmap Picture(std::string_view name) const = 0;
};

class Binding : public QObject {
 public:
  Binding(forms::Control& control, BindContext& context, const ControlDesign& design);
  ~Binding() override;
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  forms::Control& control() const { return control_; }
  const ControlDesign& design() const { return design_; }
  // The widget; nullptr for controls without one (timers, menu items).
  QWidget* widget() const { return widget_; }
  // Where children of this control go (frames); nullptr when it holds none.
  virtual QWidget* ChildArea() const { return nullptr; }

  // Makes the widget and starts listening to the control. Called once.
  void Build();
  // Copies the model's whole state into the widget.
  void Refresh();
  // Stops listening to the control, which stays alive.
  virtual void Detach();

 protected:
  // Makes the kind's widget under `parent`; nullptr for none.
  virtual QWidget* CreateWidget(QWidget* parent) = 0;
  // Copies the kind's own state (caption, value, rows...) into the widget.
  virtual void RefreshKind() {}
  // Kinds that draw their own colours (shapes) skip the common colouring.
  virtual bool UsesColors() const { return true; }
  // Kinds without a click of their own (labels, frames, images) get one from the mouse.
  virtual bool SynthesizesClick() const { return false; }

  // A key the user typed, as the program's character code. False lets the widget have it too.
  virtual bool KeyTyped(int key_ascii);

  // Runs `action` (a User* call) if the control is still there, then copies the model's state
  // back into the widget.
  void UserAction(const std::function<void()>& action);
  // Connects a widget signal that reports user input: `slot` runs only while the control is
  // still there and the binding is not writing into the widget itself.
  // The relay takes the signal's own argument types: Qt cannot count the arguments of a generic
  // lambda under every compiler.
  template <class Sender, class Class, class... Args, class Slot>
  void OnUser(Sender* sender, void (Class::*signal)(Args...), Slot slot) {
    QObject::connect(sender, signal, this, [this, slot](Args... args) {
      if (Updating() || !context_.IsAlive(*this))
        return;
      // A slot may take the signal's arguments or none.
      if constexpr (std::is_invocable_v<const Slot&, Args...>)
        slot(std::forward<Args>(args)...);
      else
        slot();
    });
  }
  // True while Refresh writes the model's state into the widget.
  bool Updating() const { return updating_ > 0; }
  // Keeps Updating() true for a scope.
  class UpdateScope {
   public:
    explicit UpdateScope(Binding& binding) : binding_(binding) { ++binding_.updating_; }
    ~UpdateScope() { --binding_.updating_; }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

   private:
    Binding& binding_;
  };

  BindContext& context() const { return context_; }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RefreshCommon();
  void ApplyColors();
  QFont MakeFont() const;

  forms::Control& control_;
  BindContext& context_;
  ControlDesign design_;
  QPointer<QWidget> widget_;
  int updating_ = 0;
  QString applied_style_;
  QString applied_type_;
  std::optional<QFont> applied_font_;
  bool press_inside_ = false;
};

// The pixel rectangle of a control's model geometry.
QRect PixelRect(const forms::Control& control);
// A model colour (0x00BBGGRR) as a QColor.
QColor ToQColor(forms::Color color);

}  // namespace view
