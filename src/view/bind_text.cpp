// Text boxes and combo boxes.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QValidator>

#include "forms/text_controls.h"
#include "view/binders.h"
#include "view/qt_text.h"

namespace view {

namespace {

// Refuses what the program's 8-bit text cannot hold, instead of letting it turn into "?".
class ProgramTextValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return FitsProgramText(input) ? Acceptable : Invalid;
  }
};

// A single-line box is a QLineEdit, a multi-line one a QPlainTextEdit; both live in one holder
// so the kind can change with the model's MultiLine.
class TextBoxBinding final : public Binding {
 public:
  TextBoxBinding(forms::TextBox& box, BindContext& context, const ControlDesign& design)
      : Binding(box, context, design), box_(box) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    auto* holder = new QWidget(parent);
    holder->setProperty("hgHolder", true);
    auto* layout = new QStackedLayout(holder);
    line_ = new QLineEdit(holder);
    lines_ = new QPlainTextEdit(holder);
    layout->addWidget(line_);
    layout->addWidget(lines_);
    line_->setValidator(new ProgramTextValidator(line_));
    line_->installEventFilter(this);
    lines_->installEventFilter(this);
    // The widgets edit (cursor, selection, clipboard); the model gets the edited text.
    OnUser(line_, &QLineEdit::textEdited, [this](const QString& text) {
      UserAction([this, text] { box_.UserSetText(FromQString(text)); });
    });
    OnUser(lines_, &QPlainTextEdit::textChanged, [this] {
      const QString edited = lines_->toPlainText();
      // Refused: the refresh puts the model's text back.
      if (!FitsProgramText(edited))
        return Refresh();
      const std::string text = FromQStringLines(edited);
      UserAction([this, &text] { box_.UserSetText(text); });
    });
    return holder;
  }
  void RefreshKind() override {
    auto* layout = static_cast<QStackedLayout*>(widget()->layout());
    layout->setCurrentWidget(box_.MultiLine() ? static_cast<QWidget*>(lines_) : line_);
    line_->setReadOnly(box_.Locked());
    lines_->setReadOnly(box_.Locked());
    if (box_.MultiLine()) {
      const QString text = ToQStringLines(box_.Text());
      if (lines_->toPlainText() != text)
        lines_->setPlainText(text);
    } else {
      const QString text = ToQString(box_.Text());
      if (line_->text() != text) {
        const int cursor = line_->cursorPosition();
        line_->setText(text);
        line_->setCursorPosition(std::min<int>(cursor, text.size()));
      }
    }
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Typing reaches the model as key presses when it listens to them.
    if ((watched == line_ || watched == lines_) && event->type() == QEvent::KeyPress)
      return Binding::eventFilter(widget(), event);
    // A key the inner box ignores (Enter in one line) goes on to the holder: the model had it.
    if (watched == widget() && event->type() == QEvent::KeyPress)
      return false;
    return Binding::eventFilter(watched, event);
  }
  // The model's key handler sees each key first; what it lets through the widget types where
  // its cursor is, as a key it changed is typed in its place.
  bool KeyTyped(int key_ascii) override {
    int let_through = 0;
    UserAction([this, key_ascii, &let_through] {
      let_through = box_.UserKeyPressTypedByWidget(key_ascii);
    });
    if (let_through == key_ascii)
      return false;
    if (let_through >= 32 && context().IsAlive(*this) && !box_.Locked()) {
      const QString typed = ToQString(std::string(1, static_cast<char>(let_through)));
      if (box_.MultiLine())
        lines_->insertPlainText(typed);
      else
        line_->insert(typed);
    }
    return true;
  }

 private:
  forms::TextBox& box_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* lines_ = nullptr;
};

class ComboBinding final : public Binding {
 public:
  ComboBinding(forms::ComboBox& combo, BindContext& context, const ControlDesign& design)
      : Binding(combo, context, design), combo_(combo) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    widget_ = new QComboBox(parent);
    widget_->setInsertPolicy(QComboBox::NoInsert);
    OnUser(widget_, &QComboBox::activated,
           [this](int position) { UserAction([this, position] { combo_.UserSelect(position); }); });
    return widget_;
  }
  void RefreshKind() override {
    const bool editable = combo_.GetStyle() != forms::ComboBox::Style::kDropdownList;
    if (widget_->isEditable() != editable) {
      widget_->setEditable(editable);
      if (editable) {
        widget_->lineEdit()->setValidator(new ProgramTextValidator(widget_->lineEdit()));
        OnUser(widget_->lineEdit(), &QLineEdit::textEdited, [this](const QString& text) {
          UserAction([this, text] { combo_.UserSetText(FromQString(text)); });
        });
      }
    }
    if (items_ != combo_.Items()) {
      items_ = combo_.Items();
      widget_->clear();
      for (const std::string& item : items_)
        widget_->addItem(ToQString(item));
    }
    if (widget_->currentIndex() != combo_.ListIndex())
      widget_->setCurrentIndex(combo_.ListIndex());
    if (editable && widget_->currentText() != ToQString(combo_.Text()))
      widget_->setEditText(ToQString(combo_.Text()));
  }

 private:
  forms::ComboBox& combo_;
  QComboBox* widget_ = nullptr;
  std::vector<std::string> items_;
};

}  // namespace

std::unique_ptr<Binding> MakeTextBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design) {
  if (control.kind() == forms::ControlKind::kTextBox)
    return std::make_unique<TextBoxBinding>(static_cast<forms::TextBox&>(control), context, design);
  return std::make_unique<ComboBinding>(static_cast<forms::ComboBox&>(control), context, design);
}

}  // namespace view
