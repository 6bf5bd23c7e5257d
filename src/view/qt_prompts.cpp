#include "view/qt_prompts.h"

#include <QAbstractButton>
#include <QStringList>

#include "machine/text.h"
#include "services/prompts.h"
#include "view/qt_text.h"

namespace view {

namespace {

using Button = QMessageBox::StandardButton;

struct ButtonAnswer {
  Button button;
  int answer;
};

constexpr ButtonAnswer kAnswers[] = {
    {QMessageBox::Ok, services::vbOK},         {QMessageBox::Cancel, services::vbCancel},
    {QMessageBox::Abort, services::vbAbort},   {QMessageBox::Retry, services::vbRetry},
    {QMessageBox::Ignore, services::vbIgnore}, {QMessageBox::Yes, services::vbYes},
    {QMessageBox::No, services::vbNo},
};

// The buttons of a style, in the order they stand on the box.
std::vector<Button> ButtonsOf(int style) {
  switch (style & 7) {
    case services::vbOKCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case services::vbAbortRetryIgnore:
      return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case services::vbYesNoCancel:
      return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case services::vbYesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case services::vbRetryCancel:
      return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
      return {QMessageBox::Ok};
  }
}

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case services::vbCritical:
      return QMessageBox::Critical;
    case services::vbQuestion:
      return QMessageBox::Question;
    case services::vbExclamation:
      return QMessageBox::Warning;
    case services::vbInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

int AnswerOf(Button button) {
  for (const ButtonAnswer& entry : kAnswers) {
    if (entry.button == button)
      return entry.answer;
  }
  return services::vbCancel;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const forms::MessageBoxRequest& request,
                                            QWidget* parent) {
  const std::vector<Button> buttons = ButtonsOf(request.style);
  QMessageBox::StandardButtons set;
  for (Button button : buttons)
    set |= button;
  auto box = std::make_unique<QMessageBox>(IconOf(request.style), ToQStringLines(request.title),
                                           ToQStringLines(request.prompt), set, parent);
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::ApplicationModal);
  // A box is answered, never minimised or maximised: its title bar offers only the close box.
  box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
  // Bits 8-9 pick the default button; one past the last falls back to the first.
  const size_t default_index = static_cast<size_t>((request.style >> 8) & 3);
  box->setDefaultButton(buttons[default_index < buttons.size() ? default_index : 0]);
  if (request.style & services::vbSystemModal)
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
  return box;
}

int MessageBoxAnswer(const QMessageBox& box) {
  if (QAbstractButton* clicked = box.clickedButton())
    return AnswerOf(box.standardButton(clicked));
  if (QAbstractButton* escape = box.escapeButton())
    return AnswerOf(box.standardButton(escape));
  const QList<QAbstractButton*> buttons = box.buttons();
  return buttons.isEmpty() ? services::vbCancel : AnswerOf(box.standardButton(buttons.front()));
}

QString QtFileFilter(std::string_view filter) {
  const std::vector<std::string> parts = machine::Split(filter, "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    QString description = ToQString(parts[i]);
    // "*.*" means every file; in Qt it would ask for a dot in the name.
    QString patterns = ToQString(parts[i + 1]).replace(QStringLiteral("*.*"), QStringLiteral("*"));
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (description.contains(QLatin1Char('('))) {
      description = description.left(description.indexOf(QLatin1Char('('))).trimmed();
    }
    filters << QStringLiteral("%1 (%2)").arg(description, patterns);
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace view
