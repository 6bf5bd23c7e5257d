#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "qt_test_env.h"
#include "services/prompts.h"
#include "test_form.h"
#include "view/screen.h"

namespace view_test {
namespace {

class BindersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Show();
    ASSERT_NE(screen.ViewOf(form), nullptr);
  }

  template <class W>
  W* Widget(const forms::Control& control) {
    return qobject_cast<W*>(screen.WidgetOf(control));
  }
  QTreeWidget* Tree() { return Widget<QTreeWidget>(form.lvwFound); }
  QTabBar* Tabs() { return screen.WidgetOf(form.tabPages)->findChild<QTabBar*>(); }
  QAction* Action(const forms::MenuItem& item) { return screen.ViewOf(form)->ActionOf(item); }

  QtRuntime qt;
  TestForm form{qt.runtime};
  view::Screen screen{qt.backend, qt.runtime};
};

TEST_F(BindersTest, WidgetsSitInTheirContainersAtTheModelsPlace) {
  auto* frame = Widget<QGroupBox>(form.fraOptions);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->title(), "Options");
  struct Case {
    const forms::Control& control;
    QWidget* parent;
    QRect pixels;
  };
  QWidget* client = screen.ViewOf(form)->client();
  const Case cases[] = {
      {form.chkLog, frame, QRect(8, 20, 200, 20)},
      {form.optFull, frame, QRect(8, 68, 200, 20)},
      {form.cmdGo, client, QRect(264, 8, 100, 25)},
      {form.lvwFound, client, QRect(8, 136, 400, 120)},
  };
  for (const Case& c : cases) {
    QWidget* widget = screen.WidgetOf(c.control);
    ASSERT_NE(widget, nullptr) << c.control.FullName();
    EXPECT_EQ(widget->parentWidget(), c.parent) << c.control.FullName();
    EXPECT_EQ(widget->geometry(), c.pixels) << c.control.FullName();
    EXPECT_TRUE(widget->isVisible()) << c.control.FullName();
  }
  EXPECT_NE(Widget<QCheckBox>(form.chkLog), nullptr);
  EXPECT_NE(Widget<QRadioButton>(form.optQuick), nullptr);
  EXPECT_NE(Widget<QPushButton>(form.cmdGo), nullptr);
  EXPECT_NE(Widget<QLabel>(form.lblCount), nullptr);
  EXPECT_NE(Widget<QComboBox>(form.cmbDays), nullptr);
  EXPECT_NE(Widget<QProgressBar>(form.pb1), nullptr);
  EXPECT_EQ(screen.WidgetOf(form.tmrTick), nullptr);

  QTreeWidget* tree = Tree();
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->columnCount(), 2);
  EXPECT_EQ(tree->headerItem()->text(1), "Location");
  EXPECT_EQ(tree->columnWidth(0), 160);

  QAction* open = Action(form.mnuFileItem(0));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->text(), "Open");
  EXPECT_TRUE(Action(form.mnuFileItem(1))->isSeparator());
  ASSERT_EQ(screen.ViewOf(form)->window()->menuBar()->actions().size(), 1);
  EXPECT_EQ(screen.ViewOf(form)->window()->menuBar()->actions()[0]->text(), "&File");
  EXPECT_EQ(screen.ViewOf(form)->window()->windowTitle(), "Test window");
}

TEST_F(BindersTest, UserInputReachesTheModelsHandlers) {
  int go = 0, label = 0, exit = 0, check = 0, full = 0, day = 0, tab = 0, typed = 0;
  form.cmdGo.on_click = [&] { ++go; };
  form.lblCount.on_click = [&] { ++label; };
  form.mnuFileItem(2).on_click = [&] { ++exit; };
  form.chkLog.on_click = [&] { ++check; };
  form.optFull.on_click = [&] { ++full; };
  form.cmbDays.on_click = [&] { ++day; };
  form.tabPages.on_click = [&] { ++tab; };
  form.txtName.on_change = [&] { ++typed; };
  form.optQuick.SetValue(true);

  QTest::mouseClick(Widget<QPushButton>(form.cmdGo), Qt::LeftButton);
  QTest::mouseClick(Widget<QLabel>(form.lblCount), Qt::LeftButton);
  Action(form.mnuFileItem(2))->trigger();
  QTest::mouseClick(Widget<QCheckBox>(form.chkLog), Qt::LeftButton);
  QTest::mouseClick(Widget<QRadioButton>(form.optFull), Qt::LeftButton);
  QTest::keyClick(Widget<QComboBox>(form.cmbDays), Qt::Key_Down);
  QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(1).center());
  QTest::keyClicks(screen.WidgetOf(form.txtName)->findChild<QLineEdit*>(), "abc");
  // A click into the picker's month takes the digits typed next.
  form.dtpWhen.SetValue(machine::DateTime{2006, 3, 16, 0, 0, 0});
  auto* when = screen.WidgetOf(form.dtpWhen)->findChild<QDateTimeEdit*>()->findChild<QLineEdit*>();
  QTest::mouseClick(when, Qt::LeftButton, {}, QPoint(4, when->height() / 2));
  QTest::keyClicks(when, "11");

  EXPECT_EQ(go, 1);
  EXPECT_EQ(label, 1);
  EXPECT_EQ(exit, 1);
  EXPECT_EQ(check, 1);
  EXPECT_EQ(form.chkLog.Value(), forms::kChecked);
  EXPECT_TRUE(Widget<QCheckBox>(form.chkLog)->isChecked());
  EXPECT_EQ(full, 1);
  EXPECT_TRUE(form.optFull.Value());
  EXPECT_FALSE(form.optQuick.Value());
  EXPECT_FALSE(Widget<QRadioButton>(form.optQuick)->isChecked());
  EXPECT_EQ(day, 1);
  EXPECT_EQ(form.cmbDays.ListIndex(), 0);
  EXPECT_EQ(tab, 1);
  EXPECT_EQ(form.tabPages.SelectedIndex(), 1);
  EXPECT_EQ(typed, 3);
  EXPECT_EQ(form.txtName.Text(), "abc");
  EXPECT_EQ(form.dtpWhen.Value()->month, 11);
  EXPECT_TRUE(qt.runtime.RefusedActions().empty());
}

TEST_F(BindersTest, ATextBoxEditsAtItsCursorAndItsKeyHandlerStillSeesEnter) {
  std::vector<int> keys;
  form.txtName.on_key_press = [&](int& key) { keys.push_back(key); };
  auto* box = screen.WidgetOf(form.txtName)->findChild<QLineEdit*>();
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"Home", "X"}, "xabc"},
      {{"Ctrl+A", "Z"}, "z"},
      {{"Left", "Shift+Left", "Backspace", "Home", "Del"}, "c"},
      {{"Home", "Shift+Right", "Ctrl+X", "End", "Ctrl+V"}, "bca"},
      {{"Return"}, "abc"},
  };
  for (const auto& [presses, text] : cases) {
    form.txtName.SetText("abc");
    QTest::keySequence(box, QKeySequence::MoveToEndOfLine);
    for (const char* press : presses)
      QTest::keySequence(box, QKeySequence(press));
    EXPECT_EQ(form.txtName.Text(), text) << presses.front();
    EXPECT_EQ(box->text().toStdString(), text) << presses.front();
  }
  EXPECT_EQ(keys.back(), 13);
  // What the program's 8-bit text cannot hold is refused, typed or pasted.
  const QString foreign = QString::fromUtf8("\u4E2D");
  QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, foreign, {});
  QApplication::clipboard()->setText(foreign);
  QTest::keySequence(box, QKeySequence::Paste);
  EXPECT_EQ(box->text(), "abc");
}

TEST_F(BindersTest, ClicksOnListRowsAndColumnEdgesReachTheModel) {
  for (const char* name : {"FunnyCursor", "EvilDialer", "Acme SearchBar"})
    form.lvwFound.AddItem(name, 3);
  std::vector<int> clicked;
  form.lvwFound.on_item_click = [&](int position) { clicked.push_back(position); };

  QTreeWidget* tree = Tree();
  const QRect row = tree->visualItemRect(tree->topLevelItem(1));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row.center());
  // A drag on a column edge, as the header reports it.
  tree->header()->resizeSection(1, 150);

  EXPECT_EQ(clicked, (std::vector<int>{1, 1}));
  EXPECT_EQ(form.lvwFound.SelectedIndex(), 1);
  EXPECT_EQ(form.lvwFound.Columns()[1].width, 150 * 15);
}

TEST_F(BindersTest, ModelChangesReachTheWidgets) {
  form.lblCount.SetCaption("1,234");
  form.cmdGo.SetEnabled(false);
  form.chkLog.SetVisible(false);
  form.lblCount.Move(3960, 660, 3000, 300);
  form.lblCount.SetFontItalic(true);
  form.pb1.SetValue(50);
  form.cmbDays.SetListIndex(2);
  form.tabPages.SetSelectedIndex(1);
  form.txtName.SetText("Caf\xE9");  // Windows-1252 e acute
  form.dtpWhen.SetValue(machine::DateTime{2006, 3, 16, 0, 0, 0});
  form.sbrStatus.SetPanelText(0, "Scanning");
  form.fraOptions.SetCaption("Scan Type");

  auto* label = Widget<QLabel>(form.lblCount);
  EXPECT_EQ(label->text(), "1,234");
  EXPECT_EQ(label->geometry(), QRect(264, 44, 200, 20));
  EXPECT_TRUE(label->font().italic());
  EXPECT_FALSE(Widget<QPushButton>(form.cmdGo)->isEnabled());
  EXPECT_FALSE(screen.WidgetOf(form.chkLog)->isVisible());
  EXPECT_EQ(Widget<QProgressBar>(form.pb1)->value(), 500);
  EXPECT_EQ(Widget<QComboBox>(form.cmbDays)->currentText(), "Daily");
  EXPECT_EQ(Tabs()->currentIndex(), 1);
  EXPECT_EQ(screen.WidgetOf(form.txtName)->findChild<QLineEdit*>()->text(), "Caf\u00E9");
  auto* date = screen.WidgetOf(form.dtpWhen)->findChild<QDateTimeEdit*>();
  EXPECT_EQ(date->date(), QDate(2006, 3, 16));
  EXPECT_TRUE(date->isEnabled());
  form.dtpWhen.SetEmpty();
  EXPECT_FALSE(date->isEnabled());
  EXPECT_FALSE(screen.WidgetOf(form.dtpWhen)->findChild<QCheckBox*>()->isChecked());
  EXPECT_EQ(Widget<QGroupBox>(form.fraOptions)->title(), "Scan Type");
  EXPECT_NE(screen.WidgetOf(form.sbrStatus)->findChild<QLabel*>(), nullptr);

  // Rows: added, changed, checked, removed, cleared.
  QTreeWidget* tree = Tree();
  form.lvwFound.AddItem("Acme SearchBar", 3);
  form.lvwFound.AddItem("FunnyCursor", 2);
  form.lvwFound.AddItem("EvilDialer", 1);
  form.lvwFound.SetSubItem(1, 1, "HKLM\\SOFTWARE\\FunnyCursor");
  form.lvwFound.SetChecked(2, true);
  form.lvwFound.RemoveItem(0);
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "FunnyCursor");
  EXPECT_EQ(tree->topLevelItem(0)->text(1), "HKLM\\SOFTWARE\\FunnyCursor");
  EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(tree->topLevelItem(1)->checkState(0), Qt::Checked);
  form.lvwFound.SetColumnWidth(1, 3000);
  EXPECT_EQ(tree->columnWidth(1), 200);
  form.lvwFound.Clear();
  EXPECT_EQ(tree->topLevelItemCount(), 0);

  form.mnuFileItem(0).SetVisible(false);
  form.mnuFileItem(2).SetEnabled(false);
  EXPECT_FALSE(Action(form.mnuFileItem(0))->isVisible());
  EXPECT_FALSE(Action(form.mnuFileItem(2))->isEnabled());

  form.SetCaption("Renamed");
  EXPECT_EQ(screen.ViewOf(form)->window()->windowTitle(), "Renamed");
}

TEST_F(BindersTest, CodeChangesAreNeverSentBackAsUserActions) {
  int check = 0, item_check = 0, day = 0, tab = 0, typed = 0, picked = 0;
  form.chkLog.on_click = [&] { ++check; };
  form.lvwFound.on_item_check = [&](int) { ++item_check; };
  form.cmbDays.on_click = [&] { ++day; };
  form.tabPages.on_click = [&] { ++tab; };
  form.txtName.on_change = [&] { ++typed; };
  form.dtpWhen.on_change = [&] { ++picked; };

  form.chkLog.SetValue(forms::kChecked);
  form.lvwFound.AddItem("FunnyCursor", 2);
  form.lvwFound.SetChecked(0, true);
  form.cmbDays.SetListIndex(1);
  form.tabPages.SetSelectedIndex(1);
  form.txtName.SetText("abc");
  form.dtpWhen.SetValue(machine::DateTime{2006, 3, 16, 0, 0, 0});
  qt.runtime.Yield();

  // Each handler ran once, for the model's own change; the view added nothing.
  EXPECT_EQ(check, 1);
  EXPECT_EQ(item_check, 0);
  EXPECT_EQ(day, 1);
  EXPECT_EQ(tab, 1);
  EXPECT_EQ(typed, 1);
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(form.chkLog.Value(), forms::kChecked);
  EXPECT_TRUE(form.lvwFound.Item(0).checked);
  EXPECT_TRUE(qt.runtime.RefusedActions().empty());
}

TEST_F(BindersTest, AUserCheckInTheListReachesTheModelAndItsHandlersChangesShow) {
  for (const char* name : {"FunnyCursor", "FunnyCursor - registry", "EvilDialer"})
    form.lvwFound.AddItem(name, 3);
  std::vector<int> checked_rows;
  // Like the threat list's propagation: checking a row checks its companion too.
  form.lvwFound.on_item_check = [&](int position) {
    checked_rows.push_back(position);
    if (position == 0)
      form.lvwFound.SetChecked(1, form.lvwFound.Item(0).checked);
  };

  Tree()->topLevelItem(0)->setCheckState(0, Qt::Checked);

  EXPECT_EQ(checked_rows, std::vector<int>{0});
  EXPECT_TRUE(form.lvwFound.Item(0).checked);
  EXPECT_TRUE(form.lvwFound.Item(1).checked);
  EXPECT_FALSE(form.lvwFound.Item(2).checked);
  EXPECT_EQ(Tree()->topLevelItem(1)->checkState(0), Qt::Checked);
}

TEST_F(BindersTest, ARefusedUserActionLeavesTheWidgetAsTheModelIs) {
  form.lvwFound.AddItem("FunnyCursor", 2);
  int item_checks = 0;
  form.lvwFound.on_item_check = [&](int) { ++item_checks; };
  int answer = 0;
  form.cmdGo.on_click = [&] { answer = qt.runtime.MsgBox("Really Delete?", services::vbYesNo); };

  bool checked_during_box = true;
  AnswerNextModal([&](QWidget& box) {
    // The list is under a message box: the check the user makes there is refused.
    Tree()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    checked_during_box = Tree()->topLevelItem(0)->checkState(0) == Qt::Checked;
    static_cast<QMessageBox&>(box).button(QMessageBox::Yes)->click();
  });
  QTest::mouseClick(Widget<QPushButton>(form.cmdGo), Qt::LeftButton);

  EXPECT_EQ(answer, services::vbYes);
  EXPECT_FALSE(checked_during_box);
  EXPECT_FALSE(form.lvwFound.Item(0).checked);
  EXPECT_EQ(item_checks, 0);
  ASSERT_EQ(qt.runtime.RefusedActions().size(), 1u);
  EXPECT_EQ(qt.runtime.RefusedActions()[0],
            "frmTest.lvwFound check row 0 refused: a message box is open");
}

TEST_F(BindersTest, ADisabledListTakesNoChecks) {
  form.lvwFound.AddItem("FunnyCursor", 2);
  int item_checks = 0;
  form.lvwFound.on_item_check = [&](int) { ++item_checks; };
  form.lvwFound.SetEnabled(false);

  EXPECT_FALSE(Tree()->isEnabled());
  Tree()->topLevelItem(0)->setCheckState(0, Qt::Checked);

  EXPECT_FALSE(form.lvwFound.Item(0).checked);
  EXPECT_EQ(Tree()->topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(item_checks, 0);
}

TEST_F(BindersTest, ElementsLoadedAtRunTimeGetWidgetsAndLoseThemWhenUnloaded) {
  forms::Label& added = form.lblLine.Load(1);
  qt.runtime.Yield();
  QPointer<QWidget> widget = screen.WidgetOf(added);
  ASSERT_NE(widget, nullptr);
  EXPECT_FALSE(widget->isVisible());
  added.SetTop(2400);
  added.SetVisible(true);
  EXPECT_TRUE(widget->isVisible());
  EXPECT_EQ(widget->geometry(), QRect(416, 160, 120, 17));

  int clicks = 0;
  added.on_click = [&] { ++clicks; };
  form.lblLine.Unload(1);
  // A click that reaches the widget before the view learns the control is gone does nothing.
  QTest::mouseClick(widget, Qt::LeftButton);
  EXPECT_EQ(clicks, 0);
  qt.runtime.Yield();
  EXPECT_TRUE(PumpUntil([&] { return widget.isNull(); }));
  // The design element keeps its widget.
  EXPECT_NE(screen.WidgetOf(form.lblLine(0)), nullptr);
}

TEST_F(BindersTest, TheWindowFollowsTheUserAndTheModel) {
  view::FormView& view = *screen.ViewOf(form);
  const int frame_width = view.window()->frameGeometry().width() - view.window()->width();
  const int extra_width = frame_width > 0 ? frame_width : 8;

  view.window()->resize(640 - extra_width, 400);
  EXPECT_EQ(form.Width(), 640 * 15);

  form.Move(0, 0, 9000, 7500);
  EXPECT_EQ(view.window()->width(), 600 - extra_width);

  view.window()->close();
  EXPECT_EQ(form.query_unloads, 1);
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(view.window()->isVisible());

  // Loading again shows the design state in the same widgets.
  form.lblCount.SetCaption("changed while unloaded");
  form.Show();
  EXPECT_TRUE(view.window()->isVisible());
  EXPECT_EQ(Widget<QLabel>(form.lblCount)->text(), "0");
}

}  // namespace
}  // namespace view_test
