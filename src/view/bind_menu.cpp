// Menu items as QActions: a menu of the menu bar, or an item of the menu that holds it. A menu
// that holds items gets a QMenu of its own; caption "-" is a separator.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "forms/menu_item.h"
#include "view/binders.h"
#include "view/qt_text.h"

namespace view {

namespace {

class MenuBinding final : public Binding {
 public:
  MenuBinding(forms::MenuItem& item, BindContext& context, const ControlDesign& design)
      : Binding(item, context, design), item_(item) {}

  ~MenuBinding() override {
    // The menu bar or the parent menu may already be gone with the window.
    if (action_)
      action_->deleteLater();
    if (menu_)
      menu_->deleteLater();
  }

  QMenu* menu() const { return menu_; }
  QAction* action() const { return action_; }

 protected:
  QWidget* CreateWidget(QWidget*) override {
    forms::MenuItem* parent = item_.Parent();
    QMenu* parent_menu = parent ? context().MenuOf(*parent) : nullptr;
    if (parent && !parent_menu)
      return nullptr;  // its menu is not bound as one: nowhere to show it
    QWidget* owner = parent_menu ? static_cast<QWidget*>(parent_menu) : context().MenuBar();
    if (!item_.SubItems().empty()) {
      menu_ = new QMenu(owner);
      action_ = menu_->menuAction();
    } else {
      action_ = new QAction(owner);
      OnUser(action_.data(), &QAction::triggered,
             [this] { UserAction([this] { item_.UserClick(); }); });
    }
    owner->addAction(action_);
    return nullptr;
  }
  void RefreshKind() override {
    if (!action_)
      return;
    action_->setSeparator(item_.IsSeparator());
    action_->setText(ToQString(item_.Caption()));
    action_->setVisible(item_.Visible());
    action_->setEnabled(item_.Enabled());
    action_->setCheckable(item_.Checked());
    action_->setChecked(item_.Checked());
  }

 private:
  forms::MenuItem& item_;
  QPointer<QMenu> menu_;
  QPointer<QAction> action_;
};

}  // namespace

std::unique_ptr<Binding> MakeMenuBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design) {
  return std::make_unique<MenuBinding>(static_cast<forms::MenuItem&>(control), context, design);
}

QMenu* MenuOfBinding(Binding& binding) {
  auto* menu = dynamic_cast<MenuBinding*>(&binding);
  return menu ? menu->menu() : nullptr;
}

QAction* ActionOfBinding(Binding& binding) {
  auto* menu = dynamic_cast<MenuBinding*>(&binding);
  return menu ? menu->action() : nullptr;
}

}  // namespace view
