#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "qt_test_env.h"
#include "services/prompts.h"
#include "test_form.h"
#include "view/qt_prompts.h"
#include "view/qt_text.h"
#include "view/screen.h"

namespace view_test {
namespace {

using namespace services;

struct BoxCase {
  const char* name;
  int style;
  std::vector<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton default_button;
  QMessageBox::Icon icon;
  QMessageBox::StandardButton press;
  int answer;
};

void PrintTo(const BoxCase& c, std::ostream* out) {
  *out << c.name;
}

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, ShowsTheStylesButtonsAndIconAndGivesBackTheButtonPressed) {
  const BoxCase& c = GetParam();
  QtRuntime qt;
  std::vector<QMessageBox::StandardButton> shown;
  QMessageBox::StandardButton shown_default = QMessageBox::NoButton;
  QMessageBox::Icon shown_icon = QMessageBox::NoIcon;
  QString title, text;
  AnswerNextModal([&](QWidget& widget) {
    auto& box = static_cast<QMessageBox&>(widget);
    for (QAbstractButton* button : box.buttons())
      shown.push_back(box.standardButton(button));
    shown_default = box.standardButton(box.defaultButton());
    shown_icon = box.icon();
    title = box.windowTitle();
    text = box.text();
    box.button(c.press)->click();
  });

  const int answer = qt.runtime.MsgBox("Are you sure?\r\nReally", c.style);

  EXPECT_EQ(answer, c.answer);
  std::sort(shown.begin(), shown.end());
  std::vector<QMessageBox::StandardButton> expected = c.buttons;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(shown_default, c.default_button);
  EXPECT_EQ(shown_icon, c.icon);
  // An empty title is the product name; the program's line breaks show as lines.
  EXPECT_EQ(title, "Hearthguard");
  EXPECT_EQ(text, "Are you sure?\nReally");
}

using QB = QMessageBox;
// clang-format off
const BoxCase kBoxCases[] = {
    {"OkOnly", vbOKOnly, {QB::Ok}, QB::Ok, QB::NoIcon, QB::Ok, vbOK},
    {"Information", vbOKOnly | vbInformation, {QB::Ok}, QB::Ok, QB::Information, QB::Ok, vbOK},
    {"YesNoQuestion", vbYesNo | vbQuestion, {QB::Yes, QB::No}, QB::Yes, QB::Question, QB::No, vbNo},
    {"YesNoDefaultNo", vbYesNo | vbQuestion | vbDefaultButton2, {QB::Yes, QB::No}, QB::No,
     QB::Question, QB::Yes, vbYes},
    {"YesNoCancel", vbYesNoCancel | vbExclamation, {QB::Yes, QB::No, QB::Cancel}, QB::Yes,
     QB::Warning, QB::Cancel, vbCancel},
    {"OkCancelCritical", vbOKCancel | vbCritical, {QB::Ok, QB::Cancel}, QB::Ok, QB::Critical,
     QB::Ok, vbOK},
    {"AbortRetryIgnore", vbAbortRetryIgnore, {QB::Abort, QB::Retry, QB::Ignore}, QB::Abort,
     QB::NoIcon, QB::Ignore, vbIgnore},
    {"RetryCancel", vbRetryCancel, {QB::Retry, QB::Cancel}, QB::Retry, QB::NoIcon, QB::Retry,
     vbRetry},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxTest, ::testing::ValuesIn(kBoxCases),
                         [](const ::testing::TestParamInfo<BoxCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(QtPromptsTest, FileFiltersTakeQtsForm) {
  struct Case {
    const char* filter;
    const char* qt;
  };
  const Case cases[] = {
      {"Text files (*.txt)|*.txt|All files (*.*)|*.*", "Text files (*.txt);;All files (*)"},
      {"Programs|*.exe;*.dll", "Programs (*.exe *.dll)"},
      {"", ""},
      {"Dangling description", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(view::QtFileFilter(c.filter), c.qt) << c.filter;
}

TEST(QtTextTest, ProgramTextAndQtTextConvertBothWays) {
  struct Case {
    std::string program;
    QString qt;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"Caf\xE9 \x80 5", QString::fromUtf8("Café € 5")},
      {"a\r\nb", "a\r\nb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(view::ToQString(c.program), c.qt);
    EXPECT_EQ(view::FromQString(c.qt), c.program);
  }
  // What the code page cannot hold becomes "?", and the rest survives.
  EXPECT_EQ(view::FromQString(QString::fromUtf8("a\u4E2Db")), "a?b");
  EXPECT_EQ(view::ToQStringLines("a\r\nb"), "a\nb");
  EXPECT_EQ(view::FromQStringLines("a\nb\r\nc"), "a\r\nb\r\nc");
}

class QtTimerTest : public ::testing::Test {
 protected:
  QtRuntime qt;
  TestForm form{qt.runtime};
};

TEST_F(QtTimerTest, ModelTimersTickThroughQtTimersThatFollowTheirState) {
  int ticks = 0;
  form.tmrTick.on_timer = [&] { ++ticks; };
  form.Load();
  EXPECT_FALSE(qt.backend.IsTicking(form.tmrTick));

  form.tmrTick.SetEnabled(true);
  EXPECT_TRUE(qt.backend.IsTicking(form.tmrTick));
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));

  form.tmrTick.SetEnabled(false);
  EXPECT_FALSE(qt.backend.IsTicking(form.tmrTick));
  form.tmrTick.SetEnabled(true);
  form.tmrTick.SetInterval(0);
  EXPECT_FALSE(qt.backend.IsTicking(form.tmrTick));
  form.tmrTick.SetInterval(5);
  EXPECT_TRUE(qt.backend.IsTicking(form.tmrTick));
  form.Unload();
  EXPECT_FALSE(qt.backend.IsTicking(form.tmrTick));
}

TEST_F(QtTimerTest, AHandlerThatYieldsIsNotEnteredAgainByItsOwnTicks) {
  forms::Timer other(form, "tmrOther");
  other.SetInterval(1);
  int other_ticks = 0;
  other.on_timer = [&] { ++other_ticks; };
  int depth = 0, deepest = 0, runs = 0;
  form.tmrTick.on_timer = [&] {
    ++runs;
    deepest = std::max(deepest, ++depth);
    // Long work that yields: its own ticks fall due meanwhile, other timers run.
    const int until = other_ticks + 5;
    qt.runtime.WaitUntil([&] { return other_ticks >= until; });
    --depth;
  };
  form.Load();
  form.tmrTick.SetInterval(1);
  form.tmrTick.SetEnabled(true);

  EXPECT_TRUE(PumpUntil([&] { return runs >= 2; }));
  EXPECT_EQ(deepest, 1);
}

TEST_F(QtTimerTest, EndingTheProgramStopsTimersHidesWindowsAndLeavesTheLoop) {
  view::Screen screen(qt.backend, qt.runtime);
  int ticks_after_end = 0;
  form.tmrTick.on_timer = [&] {
    if (qt.runtime.Ended())
      ++ticks_after_end;
    else
      qt.runtime.EndProgram();
  };
  form.Show();
  form.tmrTick.SetEnabled(true);
  ASSERT_TRUE(screen.ViewOf(form)->window()->isVisible());

  // The top-level loop: the end leaves it.
  QApplication::exec();

  EXPECT_TRUE(qt.runtime.Ended());
  EXPECT_FALSE(qt.backend.IsTicking(form.tmrTick));
  EXPECT_FALSE(screen.ViewOf(form)->window()->isVisible());
  EXPECT_EQ(ticks_after_end, 0);
}

TEST_F(QtTimerTest, AnEndOutsideAnyLoopLeavesLaterLoopsRunning) {
  EXPECT_THROW(qt.runtime.EndProgram(), forms::ProgramEnded);

  QEventLoop loop;
  bool ran = false;
  QTimer::singleShot(0, &loop, [&] {
    ran = true;
    loop.quit();
  });
  loop.exec();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace view_test
