// Check boxes and option buttons. The widget never decides its own state: a click goes to the
// model as the user's click, and the model's value is copied back.

#include <QCheckBox>
#include <QRadioButton>

#include "forms/choice_controls.h"
#include "view/binders.h"
#include "view/qt_text.h"

namespace view {

namespace {

class CheckBoxBinding final : public Binding {
 public:
  CheckBoxBinding(forms::CheckBox& box, BindContext& context, const ControlDesign& design)
      : Binding(box, context, design), box_(box) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QCheckBox(parent);
    OnUser(widget_, &QCheckBox::clicked, [this] { UserAction([this] { box_.UserClick(); }); });
    return widget_;
  }
  void RefreshKind() override {
    const QString text = ToQString(box_.Caption());
    if (widget_->text() != text)
      widget_->setText(text);
    const Qt::CheckState state = box_.Value() == forms::kChecked  ? Qt::Checked
                                 : box_.Value() == forms::kGrayed ? Qt::PartiallyChecked
                                                                  : Qt::Unchecked;
    widget_->setTristate(state == Qt::PartiallyChecked);
    if (widget_->checkState() != state)
      widget_->setCheckState(state);
  }

 private:
  forms::CheckBox& box_;
  QCheckBox* widget_ = nullptr;
};

class OptionBinding final : public Binding {
 public:
  OptionBinding(forms::OptionButton& option, BindContext& context, const ControlDesign& design)
      : Binding(option, context, design), option_(option) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QRadioButton(parent);
    // The model keeps the group exclusive.
    widget_->setAutoExclusive(false);
    OnUser(widget_, &QRadioButton::clicked,
           [this] { UserAction([this] { option_.UserClick(); }); });
    return widget_;
  }
  void RefreshKind() override {
    const QString text = ToQString(option_.Caption());
    if (widget_->text() != text)
      widget_->setText(text);
    if (widget_->isChecked() != option_.Value())
      widget_->setChecked(option_.Value());
  }

 private:
  forms::OptionButton& option_;
  QRadioButton* widget_ = nullptr;
};

}  // namespace

std::unique_ptr<Binding> MakeChoiceBinding(forms::Control& control, BindContext& context,
                                           const ControlDesign& design) {
  if (control.kind() == forms::ControlKind::kCheckBox)
    return std::make_unique<CheckBoxBinding>(static_cast<forms::CheckBox&>(control), context,
                                             design);
  return std::make_unique<OptionBinding>(static_cast<forms::OptionButton&>(control), context,
                                         design);
}

}  // namespace view
