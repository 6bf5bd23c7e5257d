// Date and time pickers: a QDateTimeEdit, with a check box in front when the picker may be
// empty (cleared box = no value, the edit greyed).

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>

#include "forms/date_picker.h"
#include "view/binders.h"
#include "view/qt_text.h"

namespace view {

namespace {

// The picker's format in Qt's notation. "h" (12-hour) without "tt" would show an hour without
// saying which half of the day it is; it is shown as a 24-hour hour instead.
QString QtDateFormat(const std::string& format) {
  QString out = ToQString(format);
  const bool has_am_pm = out.contains(QLatin1Char('t'));
  out.replace(QStringLiteral("tt"), QStringLiteral("AP"));
  out.replace(QLatin1Char('t'), QLatin1Char('A'));
  if (!has_am_pm)
    out.replace(QLatin1Char('h'), QLatin1Char('H'));
  return out;
}

QDateTime ToQDateTime(const machine::DateTime& value) {
  return QDateTime(QDate(value.year, value.month, value.day),
                   QTime(value.hour, value.minute, value.second));
}

machine::DateTime FromQDateTime(const QDateTime& value) {
  const QDate date = value.date();
  const QTime time = value.time();
  return machine::DateTime{date.year(), date.month(),  date.day(),
                           time.hour(), time.minute(), time.second()};
}

class DateBinding final : public Binding {
 public:
  DateBinding(forms::DatePicker& picker, BindContext& context, const ControlDesign& design)
      : Binding(picker, context, design), picker_(picker) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    auto* holder = new QWidget(parent);
    holder->setProperty("hgHolder", true);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    check_ = new QCheckBox(holder);
    edit_ = new QDateTimeEdit(holder);
    edit_->setCalendarPopup(false);
    // What a picker that starts empty offers when the user ticks it.
    edit_->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
    layout->addWidget(check_);
    layout->addWidget(edit_, 1);
    line_ = edit_->findChild<QLineEdit*>();
    if (line_)
      line_->installEventFilter(this);
    OnUser(edit_, &QDateTimeEdit::dateTimeChanged, [this](const QDateTime& value) {
      UserAction([this, value] { picker_.UserSetValue(FromQDateTime(value)); });
    });
    OnUser(check_, &QCheckBox::clicked, [this](bool checked) {
      std::optional<machine::DateTime> value;
      if (checked)
        value = FromQDateTime(edit_->dateTime());
      UserAction([this, value] { picker_.UserSetValue(value); });
    });
    return holder;
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A click into a part of the value (hour, minute, day...) selects it, so that the digits the
    // user types next replace it; Qt would insert them beside its digits and refuse them.
    if (watched == line_ && event->type() == QEvent::MouseButtonRelease &&
        edit_->currentSection() != QDateTimeEdit::NoSection)
      edit_->setSelectedSection(edit_->currentSection());
    return Binding::eventFilter(watched, event);
  }
  void RefreshKind() override {
    check_->setVisible(picker_.AllowEmpty());
    check_->setChecked(!picker_.IsEmpty());
    edit_->setEnabled(!picker_.IsEmpty());
    const QString format = QtDateFormat(picker_.Format());
    if (edit_->displayFormat() != format)
      edit_->setDisplayFormat(format);
    // An empty picker keeps showing its last value, greyed.
    if (picker_.Value()) {
      const QDateTime value = ToQDateTime(*picker_.Value());
      if (edit_->dateTime() != value)
        edit_->setDateTime(value);
    }
  }

 private:
  forms::DatePicker& picker_;
  QCheckBox* check_ = nullptr;
  QDateTimeEdit* edit_ = nullptr;
  QLineEdit* line_ = nullptr;
};

}  // namespace

std::unique_ptr<Binding> MakeDateBinding(forms::Control& control, BindContext& context,
                                         const ControlDesign& design) {
  return std::make_unique<DateBinding>(static_cast<forms::DatePicker&>(control), context, design);
}

}  // namespace view
